#!/usr/bin/env bash
# Every include points down the layers (or stays in its own folder):
# platform -> qor -> controls -> foundation -> archive, printing -> mainwindow -> startup -> app.
# archive/ and printing/ stand side by side and do not include each other.
set -uo pipefail
root=${1:?source folder}
declare -A rank=([platform]=0 [qor]=1 [controls]=2 [foundation]=3 [archive]=4 [printing]=4
                 [mainwindow]=5 [startup]=6 [app]=7)
bad=0
for dir in "${!rank[@]}"; do
  [ -d "$root/$dir" ] || continue
  while IFS= read -r -d '' file; do
    while IFS= read -r inc; do
      top=${inc%%/*}
      [ "$top" = "$inc" ] && continue         # same folder
      [ -n "${rank[$top]+x}" ] || continue    # a subfolder or another library
      [ "$top" = "$dir" ] && continue
      if [ "${rank[$top]}" -ge "${rank[$dir]}" ]; then
        echo "${file#"$root"/} includes \"$inc\": $top/ is not below $dir/"
        bad=1
      fi
    done < <(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\)".*/\1/p' "$file")
  done < <(find "$root/$dir" -type f \( -name '*.cpp' -o -name '*.h' \) -print0)
done
[ "$bad" -eq 0 ] && echo "every include points down"
exit "$bad"
