#!/usr/bin/env bash
# Checks the layering of src/ from the code's own #include lines:
#   - a file includes headers of its own layer or of the layers it may build on, never of a higher one,
#     in every spelling: "x/y.h", <x/y.h>, and no path that climbs out of its folder ("../x/y.h");
#   - the project's own headers are included with quotes, as "layer/file.h";
#   - no circle between folders (a folder is the directory a file lives in, e.g. backends/sim);
#   - no file of the core layers (everything below adapters/) includes a Qt header.
# The build runs it before it compiles anything, and the suite runs it as a test.
# Usage: scripts/check-layers.sh [SRC_DIR]   (default: the src/ beside this script). Exit 1 on a fault.
set -euo pipefail
src=${1:-"$(cd "$(dirname "$0")/.." && pwd)/src"}
src=${src%/}

# What each layer may include besides itself, bottom to top. A layer is a folder of src/ or a room
# of one (engine/script); a file belongs to the longest layer name its path starts with.
layers='
base:
model: base
engine/script: base model
hexfile: base model
backends: base
ports: base model
engine/operations: base model engine/script ports
tools: base model engine/script engine/operations ports hexfile backends
vport: base backends
adapters: base model engine/script engine/operations ports hexfile backends tools
cli: base model engine/script engine/operations ports hexfile backends tools adapters
ui: base model engine/script engine/operations ports hexfile backends tools adapters
'
core_layers='base model engine/script engine/operations ports hexfile backends tools vport'

edges=$(mktemp)
trap 'rm -f "$edges"' EXIT

# One grep over the whole tree; awk judges every line.
faults=$(
    cd "$src"
    find . -type f \( -name '*.h' -o -name '*.cpp' \) -print0 | sort -z |
        xargs -0 grep -n -o -E '^[[:space:]]*#[[:space:]]*include[[:space:]]*[<"][^>"]+[>"]' /dev/null |
        sed -E 's#^\./##' |
        awk -v layers="$layers" -v core="$core_layers" -v edges="$edges" '
        BEGIN {
            n = split(layers, rows, "\n")
            for (i = 1; i <= n; i++) {
                if (rows[i] == "") continue
                name = rows[i]; sub(/:.*/, "", name)
                below = rows[i]; sub(/^[^:]*:[ ]*/, "", below)
                known[name] = 1
                m = split(below, list, " ")
                for (j = 1; j <= m; j++) may[name, list[j]] = 1
            }
            m = split(core, list, " ")
            for (j = 1; j <= m; j++) is_core[list[j]] = 1
        }
        # The longest layer name that `path` starts with, or "".
        function layer_of(path,    best, name) {
            best = ""
            for (name in known)
                if (index(path, name "/") == 1 && length(name) > length(best)) best = name
            return best
        }
        function dir_of(path) { sub(/\/[^\/]*$/, "", path); return path }
        {
            file = $0; sub(/:.*/, "", file)
            rest = substr($0, length(file) + 2)
            number = rest; sub(/:.*/, "", number)
            header = rest; sub(/^[^:]*:[[:space:]]*#[[:space:]]*include[[:space:]]*/, "", header)
            layer = layer_of(file)
            if (layer == "") {
                if (!(file in unplaced)) print file ": folder \"" dir_of(file) "\" belongs to no layer (add it to scripts/check-layers.sh)"
                unplaced[file] = 1
                next
            }
            quoted = substr(header, 1, 1) == "\""
            name = substr(header, 2, length(header) - 2)
            if (name ~ /(^|\/)\.\.(\/|$)/) {
                print file ":" number ": includes " header ", a path that climbs out of its folder; name the header from src/ (\"layer/file.h\")"
                next
            }
            if (!quoted && (layer in is_core) && name ~ /^Q[A-Za-z]*(\/|$)/) {
                print file ":" number ": a core file includes the Qt header <" name ">"
                next
            }
            target = layer_of(name)
            if (target == "") next  # a library header, or one beside the file
            if (!quoted) print file ":" number ": includes the project header <" name "> in angle brackets; use \"" name "\""
            if (target != layer && !((layer, target) in may))
                print file ":" number ": " layer "/ includes " name " of the higher or unrelated layer " target "/"
            if (dir_of(name) != dir_of(file)) print dir_of(file) " " dir_of(name) >> edges
        }'
)

count=0
if [ -n "$faults" ]; then
    echo "$faults"
    count=$(printf '%s\n' "$faults" | wc -l)
fi

# A circle between folders: tsort names the folders on it.
if [ -s "$edges" ]; then
    if ! loop=$(sort -u "$edges" | tsort 2>&1 >/dev/null) || [ -n "$loop" ]; then
        echo "folders include each other in a circle:"
        echo "$loop" | sed -n 's/^tsort: //p' | grep -v 'input contains a loop' | sed 's/^/  /'
        count=$((count + 1))
    fi
fi

if [ "$count" -gt 0 ]; then
    echo "layer check: $count fault(s)"
    exit 1
fi
echo "layer check: ok"
