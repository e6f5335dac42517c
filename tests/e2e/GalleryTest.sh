#!/usr/bin/env bash
# Starts the gallery in a real X display (Xvfb) with a database built for the test, and checks what a
# user sees: the translated window title, and texts read back from the widgets of several classes.
# Usage: GalleryTest.sh BIN_DIR SOURCE_DIR (run under xvfb-run).
set -uo pipefail
bin=$1
sources=$2
work=$(mktemp -d)
pid=
cleanup() {
  [ -n "$pid" ] && kill "$pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
pass() { echo "ok: $*"; }

# The sample sources built into a database of another name and place.
"$bin/orvane-langdb" build "$sources/data/languages" "$work/test.mdb" >/dev/null || { echo "FAIL: cannot build"; exit 1; }
title=$("$bin/orvane-langdb" query "$work/test.mdb" \
  "select FRENCH from FormStrings where FormName='frmGallery' and ControlName='frmGallery' and PropertyName='Caption'" |
  sed -n 's/^  \["\(.*\)"\]$/\1/p')
[ -n "$title" ] || fail "no French title in the database"

"$bin/orvane-gallery" "$work/test.mdb" --language-index 4 --language-column FRENCH --dump-texts "$work/texts" &
pid=$!
wid=$(timeout 20 xdotool search --sync --onlyvisible --name "^${title}\$" 2>/dev/null | head -n 1)
[ -n "$wid" ] && pass "window titled '$title'" || fail "no window titled '$title'"
for _ in $(seq 1 100); do [ -s "$work/texts" ] && break; sleep 0.1; done

# What the widgets show, one line per component: class, name, then its texts.
expect() {
  if grep -qxF -- "$1" "$work/texts"; then pass "$1"; else fail "expected line: $1"; fi
}
expect_not() {
  if grep -qF -- "$1" "$work/texts"; then fail "unexpected: $1"; else pass "no '$1'"; fi
}
fr() {
  "$bin/orvane-langdb" query "$work/test.mdb" \
    "select FRENCH from FormStrings where FormName='$1' and ControlName='$2' and PropertyName='$3'" |
    sed -n 's/^  \["\(.*\)"\]$/\1/p'
}
expect "TButton btOk text: $(fr frmGallery btOk Caption)"
expect "TButton btOk tooltip: $(fr frmGallery btOk Hint)"
expect "TEdit edName placeholder: $(fr frmGallery edName TextHint)"
expect "TRadioGroup rgSize title: $(fr frmGallery rgSize Caption)"
expect "TRadioGroup rgSize entry 2: $(fr frmGallery rgSize Items2)"
expect "TTabSheet tsPacks tab: $(fr frmGallery tsPacks Caption)"
expect "TdxBarButton bbtnRefresh text: $(fr frmGallery bbtnRefresh Caption)"
expect "TLabel lbChild text: $(fr frmGalleryChild lbChild Caption)"
expect "TLabel lbWelcome text: $(fr frmGallery lbWelcome Caption)"
expect_not "NOT READ"

# A component of every class the translator has a rule for, owned by the gallery.
for class in TdxBarManager TdxDockingManager TdxNavBar TDBText TDBGridEh TAction TMenuItem TToolButton \
  TSpeedButton TGroupBox TTabSheet TBitBtn TStaticText TRadioButton TDBCheckBox TDataSetInsert TDataSetDelete \
  TDataSetEdit TDataSetPost TDataSetCancel TdxDockPanel TdxBarSubItem TdxBarLargeButton TdxBarEdit TColorButton \
  TcxLabel TcxButton TdxNavBarGroup TdxNavBarItem TcxBarEditItem TcxTabSheet TdxRibbonBackstageViewGalleryItem \
  TdxRibbonBackstageViewTabSheet TwwCheckBox TwwRadioButton TdxBarButton TdxBarStatic TdxBarDateCombo \
  TdxBarSpinEdit TLabel TButton TCheckBox TPanel TwwFilterDialog TwwLocateDialog TdxRibbonTab TdxBar \
  TIntegerField TLargeIntField TWordField TSmallintField TWideStringField TDateTimeField TStringField \
  TAutoIncField TBooleanField TBCDField TCurrencyField TFloatField TWideMemoField TRadioGroup TDBRadioGroup \
  TwwRadioGroup TDBComboBox TDBComboBoxEh TListBox TCheckListBox TTabControl TListView TOpenDialog TSaveDialog \
  TBrowseURL TEdit TComboBox THintMemo TMemo TcxRadioGroup TcxCheckGroup TcxCheckComboBox TfrxReport; do
  grep -q "^$class [A-Za-z]* owned by: frmGallery\$" "$work/texts" || fail "no $class on the gallery"
  classes=$((${classes:-0} + 1))
done
pass "$classes classes checked"

kill "$pid" 2>/dev/null
wait "$pid" 2>/dev/null
pid=

# A bad option is refused with a message and a non-zero status.
if "$bin/orvane-gallery" --language-index 99 2>"$work/err"; then fail "--language-index 99 accepted"
else grep -q 'language-index' "$work/err" && pass "bad index refused" || fail "no message for a bad index"; fi

[ "$failures" = 0 ] && echo "all checks passed" || echo "$failures checks failed"
exit "$failures"
