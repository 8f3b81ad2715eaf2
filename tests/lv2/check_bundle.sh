#!/usr/bin/env bash
# Checks the built LV2 bundle with Debian's LV2 tools, and what they do not
# check (port indices, defaults, switches) with a script over the
# description:  check_bundle.sh <folder holding Thudwerk.lv2> <parameter count>
set -uo pipefail

lv2_dir="$1"
params="$2"
bundle="$lv2_dir/Thudwerk.lv2"
uri="https://vornaudio.com/plugins/thudwerk"
# Our bundle and the installed schemas (for the class names), nothing else.
export LV2_PATH="$lv2_dir:/usr/lib/lv2"
failures=0
fail() { printf 'FAIL: %s\n' "$*"; failures=$((failures + 1)); }

ttl_files=("$bundle"/*.ttl "$bundle"/presets/*.ttl)
for file in "${ttl_files[@]}"; do
  serdi -i turtle -o ntriples "$file" >/dev/null || fail "Turtle syntax: $file"
done
validation="$(lv2_validate "${ttl_files[@]}" 2>&1)" || fail "lv2_validate exit status"
grep -q 'Found 0 errors' <<<"$validation" || fail "lv2_validate: $(grep -i error <<<"$validation")"

lv2ls | grep -qx "$uri" || fail "lv2ls does not list $uri"
info="$(lv2info "$uri" 2>&1)"
grep -qE '^(error|lilv)' <<<"$info" && fail "lv2info reports errors"
[ "$(grep -c $'^\tPort ' <<<"$info")" -eq $((params + 4)) ] || fail "lv2info port count"
grep -q $'^\tClass: *Instrument Plugin$' <<<"$info" || fail "class is not Instrument"
grep -q $'Class: *http://lv2plug.in/ns/extensions/ui#X11UI' <<<"$info" || fail "no X11 UI"
grep -q 'Binary: .*/ThudwerkUI.so$' <<<"$info" || fail "UI binary"
grep -qx $'\tRequired Features: http://lv2plug.in/ns/ext/urid#map' <<<"$info" ||
  fail "required features"
grep -q 'Extension Data: *http://lv2plug.in/ns/ext/state#interface' <<<"$info" ||
  fail "state interface"
presets="$(awk '/^\tPresets:/ {on = 1; next} on && /^\t\t/ {n++} on && !/^\t\t/ {on = 0} END {print n + 0}' \
  <<<"$(sed -e 's/^\t         /\t\t/' <<<"$info")")"
[ "$presets" -eq 46 ] || fail "lv2info lists $presets presets, not 46"

# lv2bench exits 0 even when it skips or fails, so its output is checked.
bench="$(env -u DISPLAY lv2bench -b 256 -n 48000 "$uri" 2>&1)"
grep -qE 'Failed|skipping|requires' <<<"$bench" && fail "lv2bench: $bench"
grep -qE "^[0-9.e+-]+ $uri\$" <<<"$bench" || fail "lv2bench ran nothing: $bench"

readelf -d "$bundle/Thudwerk.so" | grep -qE 'NEEDED.*lib(X11|Xext)' && fail "plug-in links X11"
nm -D --defined-only "$bundle/Thudwerk.so" | grep -qw lv2_descriptor || fail "lv2_descriptor"
nm -D --defined-only "$bundle/ThudwerkUI.so" | grep -qw lv2ui_descriptor || fail "lv2ui_descriptor"

# The description itself: every port one unique index, 0 ... N-1 without
# gaps; unique symbols that are C identifiers; defaults within range; the
# switches (and only they) toggled, ranging 0 to 1.
serdi -i turtle -o ntriples "$bundle/Thudwerk.ttl" | awk -v switches="ReverbOffOn VelAmpOffOn enabled" '
  function value(text) { sub(/^"/, "", text); sub(/".*$/, "", text); return text + 0 }
  $2 == "<http://lv2plug.in/ns/lv2core#port>" { ports[$3] = 1 }
  $2 == "<http://lv2plug.in/ns/lv2core#index>" { indices[$1]++; index_of[$1] = value($3) }
  $2 == "<http://lv2plug.in/ns/lv2core#symbol>" { symbol[$1] = $3; gsub(/"/, "", symbol[$1]) }
  $2 == "<http://lv2plug.in/ns/lv2core#default>" { def[$1] = value($3); has_def[$1] = 1 }
  $2 == "<http://lv2plug.in/ns/lv2core#minimum>" { min[$1] = value($3) }
  $2 == "<http://lv2plug.in/ns/lv2core#maximum>" { max[$1] = value($3) }
  $3 == "<http://lv2plug.in/ns/lv2core#toggled>" { toggled[$1] = 1 }
  END {
    split(switches, names, " "); for (i in names) wanted[names[i]] = 1
    for (p in ports) {
      count++
      if (indices[p] != 1) { print "port " symbol[p] " has " indices[p] + 0 " indices"; bad++ }
      if (seen_index[index_of[p]]++) { print "index " index_of[p] " twice"; bad++ }
      if (seen_symbol[symbol[p]]++) { print "symbol " symbol[p] " twice"; bad++ }
      if (symbol[p] !~ /^[A-Za-z_][A-Za-z0-9_]*$/) { print "bad symbol " symbol[p]; bad++ }
      if (has_def[p] && (def[p] < min[p] || def[p] > max[p])) { print "default of " symbol[p]; bad++ }
      if ((symbol[p] in wanted) != (p in toggled)) { print "toggled " symbol[p]; bad++ }
      if ((p in toggled) && (min[p] != 0 || max[p] != 1)) { print "switch range " symbol[p]; bad++ }
    }
    for (i = 0; i < count; i++) if (!(i in seen_index)) { print "index " i " missing"; bad++ }
    exit bad > 0
  }' || fail "description checks"

[ "$failures" -eq 0 ] && echo "LV2 bundle checks passed"
exit $((failures > 0))
