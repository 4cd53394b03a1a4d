#!/usr/bin/env bash
# Static analysis of the program's own code, zero findings allowed:
#   clang-tidy with the checks in .clang-tidy (src/win32/.clang-tidy
#   for the Win32 adapter), through the compile databases of the native and
#   win64 builds, cppcheck, and clang-format over the whole tree. An exception
#   is made in place, with its reason (NOLINT(check): why / cppcheck-suppress
#   id ; why).
set -euo pipefail
cd "$(dirname "$0")/.."

# Every folder of src/ but the adapter (and the resources, which hold no code).
portable_dirs=()
for dir in src/*/; do
  case "$dir" in src/win32/ | src/resources/) ;; *) portable_dirs+=("${dir%/}") ;; esac
done
adapter_dir=src/win32
native_build="${VORN_NATIVE_BUILD:-build/native}"   # their compile databases
win64_build="${VORN_WIN64_BUILD:-build/win64}"
jobs="$(nproc)"
log_dir=build/static-analysis
mkdir -p "$log_dir"

# The compile databases come with configuring the presets (scripts/build.sh).
for database in "$native_build/compile_commands.json" "$win64_build/compile_commands.json"; do
  [ -f "$database" ] || { echo "static analysis: $database is missing: run scripts/build.sh" >&2; exit 1; }
done

# clang parses the adapter as mingw-w64 code; it needs the cross compiler's C++ headers.
mingw_cxx_includes=()
while read -r dir; do
  mingw_cxx_includes+=("--extra-arg=-isystem$dir")
done < <(echo | x86_64-w64-mingw32-g++ -std=c++20 -E -x c++ - -v 2>&1 |
           sed -n '/#include <...> search starts here/,/End of search list/p' | grep '/include/c++')

failed=()

# Runs clang-tidy on files (one argument each on standard input) with a database.
tidy() {
  local name="$1"
  shift
  if xargs -P "$jobs" -n 2 clang-tidy --quiet "$@" >"$log_dir/$name.log" 2>&1; then
    echo "static analysis: clang-tidy, $name: no findings"
  else
    grep -E '(warning|error):' "$log_dir/$name.log" | sort -u >&2 || tail -n 40 "$log_dir/$name.log" >&2
    failed+=("clang-tidy $name")
  fi
}

tidy portable -p "$native_build" < <(find "${portable_dirs[@]}" -name '*.cpp' | sort)
tidy win32-adapter -p "$win64_build" "${mingw_cxx_includes[@]}" < <(find "$adapter_dir" -name '*.cpp' | sort)

cppcheck_common=(--std=c++20 --language=c++ --enable=warning,style,performance,portability
                 --inline-suppr --error-exitcode=1 --quiet -I src --suppress=missingIncludeSystem
                 "--template={file}:{line}: {severity} ({id}): {message}")
if cppcheck "${cppcheck_common[@]}" "${portable_dirs[@]}"; then
  echo "static analysis: cppcheck, portable: no findings"
else
  failed+=("cppcheck portable")
fi
if cppcheck "${cppcheck_common[@]}" --library=windows --platform=win64 \
            -D_WIN32 -D_WIN64 -DUNICODE -D_UNICODE "$adapter_dir"; then
  echo "static analysis: cppcheck, win32-adapter: no findings"
else
  failed+=("cppcheck win32-adapter")
fi

# One style for the whole tree (.clang-format): a file that it would change is a finding.
if git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run --Werror 2>"$log_dir/format.log"; then
  echo "static analysis: clang-format, no findings"
else
  grep -E 'error:' "$log_dir/format.log" | sort -u | head -n 40 >&2
  failed+=("clang-format")
fi

if [ ${#failed[@]} -ne 0 ]; then
  echo "static analysis: findings from ${failed[*]} (logs in $log_dir)" >&2
  exit 1
fi
echo "static analysis: clang-tidy, cppcheck and clang-format, no findings"
