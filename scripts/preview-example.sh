#!/usr/bin/env bash
# Previews the distributions of an example file: for each input, what the
# text means and a summary of the values a run of 1001 iterations would draw.
# Lines: label|text|unit factor|min limit|max limit; "#" starts a comment.
set -euo pipefail
cli=${1:?path to varnex-cli}
file=${2:?example file}

printf '%-40s %-28s %-6s %12s %12s %12s\n' "Input" "Distribution" "Valid" "Minimum" "Mean" "Maximum"
while IFS='|' read -r label text factor min max; do
  case "$label" in ''|'#'*) continue ;; esac
  options=(--label "$label" --unit-factor "${factor:-0}" --min "${min:-0}" --max "${max:-1e30}")
  if "$cli" parse "$text" "${options[@]}" >/dev/null; then
    summary=$("$cli" sample "$text" "${options[@]}" -n 1001 |
      awk 'NR==1{lo=$1;hi=$1} {s+=$1; if($1<lo)lo=$1; if($1>hi)hi=$1} END{printf "%12.6g %12.6g %12.6g", lo, s/NR, hi}')
    printf '%-40s %-28s %-6s %s\n' "$label" "$text" "yes" "$summary"
  else
    printf '%-40s %-28s %-6s\n' "$label" "$text" "no"
    # An invalid text is part of the preview: parse exits 1 for it, which
    # must not end the script under "set -e -o pipefail".
    { "$cli" parse "$text" "${options[@]}" || true; } | sed -n 's/^errorText: /    /p'
  fi
done < "$file"
