#!/usr/bin/env bash
# Checks the layering of src/ from the code's own #include lines:
#   - a file includes headers of its own layer or of the layers it may build on, never of a higher one;
#   - no circle between folders (a folder is the directory a file lives in, e.g. backends/sim);
#   - no file of the core layers (everything below adapters/) includes a Qt header.
# Usage: scripts/check-layers.sh [SRC_DIR]   (default: the src/ beside this script). Exit 1 on a fault.
set -euo pipefail
src=${1:-"$(cd "$(dirname "$0")/.." && pwd)/src"}

# What each layer may include besides itself, bottom to top.
declare -A allowed=(
    [base]=""
    [model]="base"
    [engine]="base model"
    [hexfile]="base model"
    [backends]="base"
    [tools]="base model engine hexfile backends"
    # The virtual serial port: the simulated board behind the operating system's serial calls.
    [vport]="base backends"
    [adapters]="base model engine hexfile backends tools"
    [cli]="base model engine hexfile backends tools adapters"
    [ui]="base model engine hexfile backends tools adapters"
)
core_layers=" base model engine hexfile backends tools vport "

faults=0
edges=$(mktemp)
trap 'rm -f "$edges"' EXIT

while IFS= read -r -d '' file; do
    rel=${file#"$src"/}
    folder=$(dirname "$rel")
    layer=${rel%%/*}
    if [ -z "${allowed[$layer]+set}" ]; then
        echo "$rel: folder '$layer' belongs to no layer (add it to scripts/check-layers.sh)"
        faults=$((faults + 1))
        continue
    fi
    while IFS= read -r line; do
        number=${line%%:*}
        header=${line#*:}
        case $header in
            \<*)
                name=${header#<}
                name=${name%>}
                if [[ $core_layers == *" $layer "* && $name =~ ^Q[A-Za-z]*(/|$) ]]; then
                    echo "$rel:$number: a core file includes the Qt header <$name>"
                    faults=$((faults + 1))
                fi
                ;;
            \"*)
                name=${header#\"}
                name=${name%\"}
                [[ $name == */* ]] || continue
                target_layer=${name%%/*}
                [ -n "${allowed[$target_layer]+set}" ] || continue  # a header beside the file, not a layer
                target_folder=$(dirname "$name")
                if [ "$target_layer" != "$layer" ] && [[ " ${allowed[$layer]} " != *" $target_layer "* ]]; then
                    echo "$rel:$number: $layer/ includes $name of the higher or unrelated layer $target_layer/"
                    faults=$((faults + 1))
                fi
                [ "$target_folder" != "$folder" ] && echo "$folder $target_folder" >>"$edges"
                ;;
        esac
    done < <(grep -n -o -E '^[[:space:]]*#[[:space:]]*include[[:space:]]*[<"][^>"]+[>"]' "$file" |
        sed -E 's/^([0-9]+):[[:space:]]*#[[:space:]]*include[[:space:]]*/\1:/')
done < <(find "$src" -type f \( -name '*.h' -o -name '*.cpp' \) -print0 | sort -z)

# A circle between folders: tsort names the folders on it.
if [ -s "$edges" ]; then
    if ! loop=$(sort -u "$edges" | tsort 2>&1 >/dev/null) || [ -n "$loop" ]; then
        echo "folders include each other in a circle:"
        echo "$loop" | sed -n 's/^tsort: //p' | grep -v 'input contains a loop' | sed 's/^/  /'
        faults=$((faults + 1))
    fi
fi

if [ "$faults" -gt 0 ]; then
    echo "layer check: $faults fault(s)"
    exit 1
fi
echo "layer check: ok"
