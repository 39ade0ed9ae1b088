// A catalogue as the program's: three texts translated in every language (one counted, in each
// language's plural forms), one in none.
inline constexpr int kTextIdBase = 20000;
inline constexpr int kTextFormStep = 1000;
inline constexpr CText kCloseQuestion{1, QT_TRANSLATE_NOOP("Orvalen", "The phone book has changes that are not saved. Close anyway?")};
inline constexpr CText kUndoItem{10, QT_TRANSLATE_NOOP("Orvalen", "撤销(&U)")};
inline constexpr CText kPlaces{54, QT_TRANSLATE_N_NOOP("Orvalen", "%n places left")};
inline constexpr CText kNew{70, QT_TRANSLATE_NOOP("Orvalen", "Not \"translated\" yet")};
