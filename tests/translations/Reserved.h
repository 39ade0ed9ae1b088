// A catalogue whose text would take string id 101, among the About item's sixteen.
inline constexpr int kTextIdBase = 100;
inline constexpr CText kCloseQuestion{1, QT_TRANSLATE_NOOP("Orvalen", "The phone book has changes that are not saved. Close anyway?")};
