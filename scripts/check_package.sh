#!/usr/bin/env bash
# Builds the Debian package from the release preset and checks it: the files it installs, the
# dependencies dpkg-shlibdeps found, the desktop entry and the AppStream metadata by their own
# validators, the manual pages, and the bash completion of kivrepo's commands and options.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
launcher=()
if command -v ccache >/dev/null; then
  export CCACHE_BASEDIR="$PWD"
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi
cmake --preset release "${launcher[@]}" >/dev/null
cmake --build --preset release --target package

version=$(sed -n 's/^project(KivRepositoryTools VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
deb=build/release/kiv-repository-tools_${version}_$(dpkg --print-architecture).deb
failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}
[[ -f "$deb" ]] || { echo "FAIL: no $deb" >&2; exit 1; }

id=org.kiv.KivExplorer
samples=/usr/share/kiv-repository-tools/samples
expected=(
  /usr/bin/kivexplorer
  /usr/bin/kivrepo
  /usr/share/applications/$id.desktop
  /usr/share/icons/hicolor/scalable/apps/$id.svg
  /usr/share/icons/hicolor/48x48/apps/$id.png
  /usr/share/icons/hicolor/256x256/apps/$id.png
  /usr/share/metainfo/$id.metainfo.xml
  /usr/share/man/man1/kivrepo.1.gz
  /usr/share/man/man1/kivexplorer.1.gz
  /usr/share/bash-completion/completions/kivrepo
  $samples/demo.ini
)
while read -r sample; do expected+=("$samples/${sample#samples/}"); done < <(find samples -type f)
listed=$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { sub(/^\./, "", $6); print $6 }' | sort)
for file in "${expected[@]}"; do
  grep -qxF "$file" <<<"$listed" || fail "the package lacks $file"
done
# Nothing else: a file the list above does not name is one nobody checked.
while read -r file; do
  printf '%s\n' "${expected[@]}" | grep -qxF "$file" || fail "the package holds an unexpected $file"
done <<<"$listed"

depends=$(dpkg-deb -f "$deb" Depends)
for library in libc6 libstdc++6 libsqlite3-0 libqt6widgets6 libqt6svg6 qt6-qpa-plugins; do
  grep -q "\b$library\b" <<<"$depends" || fail "Depends lacks $library: $depends"
done

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg-deb -x "$deb" "$root"
desktop-file-validate "$root/usr/share/applications/$id.desktop" || fail "desktop entry"
appstreamcli validate --no-net "$root/usr/share/metainfo/$id.metainfo.xml" || fail "AppStream metadata"
for size in 48 256; do
  png=$root/usr/share/icons/hicolor/${size}x${size}/apps/$id.png
  [[ "$(od -An -tx1 -j16 -N8 "$png" | tr -d ' \n')" == "$(printf '%08x%08x' "$size" "$size")" ]] ||
    fail "$png is not $size x $size"
done
for page in kivrepo kivexplorer; do
  text=$(zcat "$root/usr/share/man/man1/$page.1.gz")
  grep -q "^\.TH ${page^^} 1 .*$version" <<<"$text" || fail "$page(1) has no title line with $version"
  grep -q '@' <<<"$text" && fail "$page(1) holds an unreplaced @...@"
done
"$root/usr/bin/kivrepo" --version | grep -qxF "kivrepo $version" || fail "kivrepo --version"

# The completion asks the program itself; bash-completion's helpers are stood in for.
complete_line() {
  PATH="$root/usr/bin:$PATH" bash -c '
    _init_completion() { words=("${COMP_WORDS[@]}"); cword=$COMP_CWORD; cur=${words[cword]}; prev=${words[cword-1]}; }
    _filedir() { :; }
    source "$1"; shift
    COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1))
    _kivrepo kivrepo "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD-1]}"
    printf "%s\n" "${COMPREPLY[@]}" | sort | xargs' _ "$root/usr/share/bash-completion/completions/kivrepo" "$@"
}
[[ "$(complete_line kivrepo export-p)" == "export-path export-prg export-project" ]] ||
  fail "completion of commands: $(complete_line kivrepo export-p)"
[[ "$(complete_line kivrepo export-app Inventory --)" == "--abort-on-error --help --include-dlls --project" ]] ||
  fail "completion of options: $(complete_line kivrepo export-app Inventory --)"
[[ "$(complete_line kivrepo import-app x.KAI --existing k)" == "keep" ]] ||
  fail "completion of --existing: $(complete_line kivrepo import-app x.KAI --existing k)"

if ((failures > 0)); then
  echo "$failures problems in $deb" >&2
  exit 1
fi
echo "$deb: files, dependencies, desktop entry, metadata, manual pages and completion are right"
