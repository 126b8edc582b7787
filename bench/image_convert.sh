#!/usr/bin/env bash
# Whole-process time and peak memory of converting a 1.9 MB firmware image from Intel HEX to
# binary: quorvel-cli beside objcopy and srec_cat in one run. Usage: image_convert.sh BUILD
set -euo pipefail
build=${1:-build}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
image_bytes=1900000

"$build/bin/quorvel-bench-make-hex" "$work/in.hex" "$image_bytes"
file_bytes=$(stat -c %s "$work/in.hex")
top=$(printf '0x%X' "$image_bytes")

names=(quorvel-cli objcopy srec_cat)
commands=(
    "$build/bin/quorvel-cli image $work/in.hex -o $work/quorvel.bin"
    "objcopy -I ihex -O binary --gap-fill 0xff $work/in.hex $work/objcopy.bin"
    "srec_cat $work/in.hex -intel -fill 0xFF 0 $top -o $work/srec.bin -binary"
)

hyperfine -N --style none --warmup 3 --min-runs 30 --export-csv "$work/times.csv" \
    "${commands[@]}" >/dev/null
for other in objcopy srec; do
    cmp -s "$work/quorvel.bin" "$work/$other.bin" || { echo "quorvel-cli and $other disagree" >&2; exit 1; }
done

echo "image conversion: HEX file $file_bytes bytes, image $image_bytes bytes (mean of 30+ runs)"
means=()
for i in 0 1 2; do
    mean=$(awk -F, -v row=$((i + 2)) 'NR == row { printf "%.2f", $2 * 1000 }' "$work/times.csv")
    means+=("$mean")
    peak_kb=$(/usr/bin/time -f %M ${commands[$i]} 2>&1 >/dev/null | tail -n 1)
    printf '  %-12s %7s ms  peak %6d KB\n' "${names[$i]}" "$mean" "$peak_kb"
done
awk -v q="${means[0]}" -v o="${means[1]}" -v s="${means[2]}" \
    'BEGIN { printf "  time ratio quorvel-cli/objcopy %.2f (goal <= 0.50), quorvel-cli/srec_cat %.2f\n", q / o, q / s }'
echo "  memory budget: file + 2 x image = $(((file_bytes + 2 * image_bytes) / 1024)) KB plus a few MB"
