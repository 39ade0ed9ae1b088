#!/usr/bin/env bash
# Checks that res/translations/*.ts hold every text we add, each translated and explained to
# the translator, and nothing more: Qt's lupdate runs over a copy of the sources, so the
# repository is left as it is, and the check fails when the files it writes differ from the
# committed ones, or hold unfinished, vanished or obsolete entries, or a text without a
# translator comment (//: in the source). With --update, lupdate writes the committed files
# instead, after a text was added or changed; then translate what it marks unfinished.
# The folders and options are those of the update_translations target (ui/CMakeLists.txt).
set -euo pipefail
cd "$(dirname "$0")/.."

bins=$(qtpaths6 --query QT_HOST_BINS 2>/dev/null || echo /usr/lib/qt6/bin)
lupdate="$bins/lupdate"
if [ ! -x "$lupdate" ]; then
    echo "check-translations: $lupdate not found; scripts/setup.sh installs qt6-l10n-tools" >&2
    exit 1
fi

# The catalogue of the texts we add (app/Texts.h) and the window's code that shows them.
sources=(app ui)
options=(-locations none -no-ui-lines -source-language en)
files=(res/translations/orvalen_zh_Hans.ts res/translations/orvalen_zh_Hant.ts
    res/translations/orvalen_en.ts)

if [ "${1:-}" = --update ]; then
    "$lupdate" "${options[@]}" "${sources[@]}" -ts "${files[@]}"
    exit 0
fi

copy=$(mktemp -d)
trap 'rm -rf "$copy"' EXIT
mkdir -p "$copy/res/translations"
for source in "${sources[@]}"; do
    cp -r "$source" "$copy/$source"
done
cp "${files[@]}" "$copy/res/translations/"
(cd "$copy" && "$lupdate" -silent "${options[@]}" "${sources[@]}" -ts "${files[@]}")

failed=0
if ! diff -u res/translations "$copy/res/translations"; then
    echo "check-translations: the texts in the sources and res/translations differ;" \
        "run scripts/check-translations.sh --update and translate the new texts" >&2
    failed=1
fi
for file in "${files[@]}"; do
    written="$copy/$file"
    for state in unfinished vanished obsolete; do
        count=$(grep -c "type=\"$state\"" "$written" || true)
        if [ "$count" != 0 ]; then
            echo "check-translations: $file has $count $state entries" >&2
            failed=1
        fi
    done
    messages=$(grep -c '<message[ >]' "$written" || true)
    comments=$(grep -c '<extracomment>' "$written" || true)
    if [ "$messages" != "$comments" ]; then
        echo "check-translations: $file has $((messages - comments)) texts without a" \
            "translator comment (//: before the text)" >&2
        failed=1
    fi
done
if [ "$failed" = 0 ]; then
    echo "Translations: $(grep -c '<message[ >]' "${files[0]}") texts, up to date in ${#files[@]} languages"
fi
exit "$failed"
