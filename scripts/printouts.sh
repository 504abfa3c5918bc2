#!/usr/bin/env bash
# The printouts as a customer receives them: a demo project, then a demo invoice with a discount,
# shipping and tax, a group invoice and a store list printed to PDF by qvtool, and every page
# turned into a PNG (build/printouts/*.png) to be looked at.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=${BUILD:-build}
OUT="$BUILD/printouts"
qvtool="$BUILD/tools/qvtool/qvtool"
[ -x "$qvtool" ] || { echo "missing $qvtool: build first" >&2; exit 1; }
command -v pdftoppm >/dev/null || { echo "pdftoppm is missing (poppler-utils)" >&2; exit 1; }
export QT_QPA_PLATFORM=offscreen
rm -rf "$OUT"
mkdir -p "$OUT"
"$qvtool" demo "$OUT/demo.qvp" --customers 40

# The invoice number of the first row of the Invoice table that fits: awk gets the wanted
# columns by their names in the dump's header (and reads it all, so the dump is never cut off).
pick() {
  "$qvtool" dump "$OUT/demo.qvp" Invoice | awk -F'\t' -v want="$1" '
    NR == 1 { for (i = 1; i <= NF; i++) col[$i] = i; next }
    {
      group = $col["GroupInvoice"] != 0
      lines = $col["ItemCount"] > 0
      full = $col["DiscountAmount"] > 0 && $col["ShipCharge"] > 0 && $col["SalesTax"] > 0
      if (found == "" && ((want == "group" && group && lines) || (want == "full" && !group && full && lines)))
        found = $col["InvoiceNumber"]
    }
    END { print found }'
}
invoice=$(pick full)
group=$(pick group)
[ -n "$invoice" ] || { echo "the demo has no invoice with discount, shipping and tax" >&2; exit 1; }
[ -n "$group" ] || { echo "the demo has no group invoice with lines" >&2; exit 1; }

"$qvtool" print-invoice "$OUT/demo.qvp" --invoice "$invoice" --pdf "$OUT/invoice-$invoice.pdf"
"$qvtool" print-invoice "$OUT/demo.qvp" --invoice "$group" --pdf "$OUT/group-invoice-$group.pdf"
"$qvtool" print-invoice "$OUT/demo.qvp" --invoice "$invoice" --pdf "$OUT/invoice-$invoice-a4.pdf" --page A4
"$qvtool" print-store "$OUT/demo.qvp" --store 1 --pdf "$OUT/store-1.pdf"
for pdf in "$OUT"/*.pdf; do
  pdftoppm -r 80 -png "$pdf" "${pdf%.pdf}"
done
ls -1 "$OUT"/*.png
