#!/usr/bin/env bash
# Batch throughput: prices a generated book of closed-form rows (one million by default) and
# prints the time spent reading, pricing and writing.
#   bench/batch_throughput.sh [ROWS] [PROGRAM]
set -euo pipefail
rows=${1:-1000000}
program=${2:-build/default/tools/quantrel/quantrel}
book=$(mktemp --suffix=.csv)
trap 'rm -f "$book"' EXIT
awk -v n="$rows" 'BEGIN {
  print "Id,Method,OptionType,OptionFunction,AssetPrice,TimeStart,TimeExpire,Volatility,InterestRate,YieldRate,Alpha,TimeFormat"
  split("Theoretical_FS Delta_FS Vega_FS Rho_FS", f, " ")
  for (i = 0; i < n; i++)
    printf "%d,ForwardStart,%s,%s,%.2f,0.25,1,0.3,0.08,0.04,1.1,Years\n", i, (i % 2 ? "PutOption" : "CallOption"), f[i % 4 + 1], 40 + (i % 400) / 10
}' > "$book"
echo "$rows rows, $(du -h "$book" | cut -f1)"
/usr/bin/time -f "wall %e s, max resident %M KiB" "$program" batch "$book" --output /dev/null --timing
