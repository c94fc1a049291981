#!/usr/bin/env bash
# Checks that each layer below the user interface includes only its own headers and those of the
# layers src/layers.txt lets it use, and never Qt. Linking catches calls into a layer above; this
# catches what linking cannot: an upward include of a header-only type or inline function.
#   scripts/check-layers.sh        prints every wrong include and fails if there is one
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

wrong=0
while IFS=: read -r layer uses; do
    [[ -z "$layer" || "$layer" == \#* ]] && continue
    allowed=" $layer $uses "
    while IFS= read -r hit; do
        file=${hit%%:*}
        rest=${hit#*:}
        line=${rest%%:*}
        include=${rest#*:}
        if [[ "$include" =~ ^[[:space:]]*#[[:space:]]*include[[:space:]]*\<Q ]]; then
            echo "$file:$line: Qt in the $layer layer: $include"
            wrong=1
        elif [[ "$include" =~ ^[[:space:]]*#[[:space:]]*include[[:space:]]*\"([^/\"]*)/ ]]; then
            used=${BASH_REMATCH[1]}
            if [[ "$allowed" != *" $used "* ]]; then
                echo "$file:$line: the $layer layer may not include $used (src/layers.txt): $include"
                wrong=1
            fi
        elif [[ "$include" =~ ^[[:space:]]*#[[:space:]]*include[[:space:]]*\" ]]; then
            echo "$file:$line: include without its folder: $include"
            wrong=1
        fi
    done < <(grep -Hn '^[[:space:]]*#[[:space:]]*include' src/"$layer"/*.h src/"$layer"/*.cpp 2>/dev/null || true)
done <src/layers.txt

if ((wrong)); then
    echo "Layering check failed: move the code down a layer, or change src/layers.txt and the design." >&2
    exit 1
fi
echo "Layering check: every include points down."
