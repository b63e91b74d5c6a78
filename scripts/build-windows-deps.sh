#!/usr/bin/env bash
# Cross-builds the libraries the Windows saver links (TinyXML, libjpeg-turbo,
# GLEW, GoogleTest) as static 64-bit MinGW libraries, from Debian's source
# packages at the versions the Linux build uses, with Debian's patches.
#
# Usage:  prefix=$(bash scripts/build-windows-deps.sh)
# The prefix (include/, lib/) is the last line on stdout; everything else
# goes to stderr. Pass it to cmake/mingw-w64-x86_64.cmake as
# WAVENDELL_WINDOWS_PREFIX.
#
# The result is cached outside the tree, in
#   ${WAVENDELL_WINDOWS_DEPS:-$HOME/.cache/wavendell/windows-deps}/<key>
# where <key> names the four source versions and ends in a hash of those, of
# the MinGW compiler's package versions, of this script and of the toolchain
# file; a run that finds its key built returns at once. Downloaded source
# packages are kept in sources/ beside the prefixes.
#
# Needs root for apt-get when a tool is missing.
set -euo pipefail

# Only the prefix goes to stdout; every command's chatter goes to stderr.
exec 3>&1 1>&2

here=$(cd "$(dirname "$0")" && pwd)
toolchain=$(cd "$here/../cmake" && pwd)/mingw-w64-x86_64.cmake
home=${HOME:-$(getent passwd "$(id -u)" | cut -d: -f6)}
cache=${WAVENDELL_WINDOWS_DEPS:-$home/.cache/wavendell/windows-deps}
# The build machines are shared: never more than two jobs.
jobs=$(nproc 2>/dev/null || echo 1)
if [ "$jobs" -gt 2 ]; then jobs=2; fi
triple=x86_64-w64-mingw32

log() { echo "build-windows-deps: $*"; }
die() { log "error: $*"; exit 1; }

# Tools for this build, for the Windows build that follows (windres comes
# with binutils) and for running and packaging it (wine, nsis).
TOOLS=(
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix
  binutils-mingw-w64-x86-64 mingw-w64-x86-64-dev
  wine wine64 nsis
  dpkg-dev xz-utils cmake make nasm
)

# Debian source package, the Linux build's binary package whose source
# version we follow, and the version to use where that package is not
# installed (what the Linux build had when this was written).
LIBS=(
  "tinyxml        libtinyxml-dev       2.6.2-6+deb12u1"
  "libjpeg-turbo  libjpeg62-turbo-dev  1:2.1.5-2"
  "glew           libglew-dev          2.2.0-4"
  "googletest     libgtest-dev         1.12.1-0.2"
)
declare -A VERSION=()

# Prints "package source-version" for those of the given packages that are
# installed; one dpkg-query for all of them keeps a warm run near a second.
installed_packages() {
  dpkg-query -W -f='${Package} ${db:Status-Status} ${source:Version}\n' "$@" 2>/dev/null |
    awk '$2 == "installed" { print $1, $3 }' || true
}

install_tools() {
  local have missing=() p
  have=$(installed_packages "${TOOLS[@]}")
  for p in "${TOOLS[@]}"; do
    grep -q "^$p " <<<"$have" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  [ "$(id -u)" -eq 0 ] || die "missing packages: ${missing[*]} (install them as root)"
  log "installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

find_versions() {
  local line src bin fallback have found bins
  mapfile -t bins < <(printf '%s\n' "${LIBS[@]}" | awk '{ print $2 }')
  have=$(installed_packages "${bins[@]}")
  for line in "${LIBS[@]}"; do
    read -r src bin fallback <<<"$line"
    found=$(awk -v p="$bin" '$1 == p { print $2 }' <<<"$have")
    if [ -n "$found" ]; then
      VERSION[$src]=$found
    else
      VERSION[$src]=$fallback
      log "$bin is not installed; using $src $fallback"
    fi
  done
}

# Debian versions carry an epoch ("1:") that file names leave out.
upstream_file_version() { echo "${1#*:}"; }

cache_key() {
  local names="" src
  for src in tinyxml libjpeg-turbo glew googletest; do
    names+="${src}-$(upstream_file_version "${VERSION[$src]}")_"
  done
  local hash
  hash=$( {
      for src in tinyxml libjpeg-turbo glew googletest; do echo "$src ${VERSION[$src]}"; done
      dpkg-query -W -f='${Package} ${Version}\n' \
        gcc-mingw-w64-x86-64-posix g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev
      cat "${BASH_SOURCE[0]}" "$toolchain"
    } | sha256sum | cut -c1-12)
  echo "${names}${hash}"
}

# apt-get with a private list of Debian's source indexes, made from the
# machine's own archive entries, so the machine's apt state is not touched.
apt_src() {
  local dir=$cache/apt sandbox=()
  mkdir -p "$dir/lists/partial" "$dir/cache/archives/partial"
  # As root apt downloads as _apt, who may not enter root's home.
  [ "$(id -u)" -ne 0 ] || sandbox=(-o APT::Sandbox::User=root)
  apt-get -o Dir::Etc::sourcelist="$apt_sources" \
          -o Dir::Etc::sourceparts=/dev/null \
          -o Dir::State::Lists="$dir/lists" \
          -o Dir::Cache="$dir/cache" \
          "${sandbox[@]}" "$@"
}

# The machine's Debian entries, as source entries: deb822 (Debian 12's
# default) or one-line.
write_apt_sources() {
  mkdir -p "$cache/apt"
  if [ -f /etc/apt/sources.list.d/debian.sources ]; then
    apt_sources=$cache/apt/debian.sources
    sed 's/^Types:.*/Types: deb-src/' /etc/apt/sources.list.d/debian.sources >"$apt_sources"
  elif grep -q '^deb ' /etc/apt/sources.list 2>/dev/null; then
    apt_sources=$cache/apt/debian.list
    sed -n 's/^deb /deb-src /p' /etc/apt/sources.list >"$apt_sources"
  else
    die "no Debian archive in /etc/apt: cannot fetch source packages"
  fi
}

fetch_sources() {
  local src missing=()
  mkdir -p "$cache/sources"
  for src in tinyxml libjpeg-turbo glew googletest; do
    [ -f "$cache/sources/${src}_$(upstream_file_version "${VERSION[$src]}").dsc" ] || missing+=("$src")
  done
  [ ${#missing[@]} -eq 0 ] && return 0

  write_apt_sources
  log "updating the source package index"
  apt_src -qq update
  for src in "${missing[@]}"; do
    log "fetching $src ${VERSION[$src]}"
    (cd "$cache/sources" && apt_src -qq source --download-only "$src=${VERSION[$src]}") ||
      die "the Debian archive no longer has $src ${VERSION[$src]}, the version the Linux build uses;" \
          "move the Linux build to the archive's version first, then run this again"
  done
}

# Unpacks a source package into the work directory with its Debian patches
# applied. apt-get has already checked the files against the archive's signed
# index, so dpkg-source's complaint about the missing maintainer key is noise.
unpack() {
  local src=$1 ver
  ver=$(upstream_file_version "${VERSION[$src]}")
  dpkg-source -x "$cache/sources/${src}_${ver}.dsc" "$work/$src" >"$logs/$src-unpack.log" 2>&1 ||
    { cat "$logs/$src-unpack.log"; die "could not unpack $src"; }
}

# Runs a build step with its output in a log, shown only when it fails.
step() {
  local name=$1; shift
  "$@" >>"$logs/$name.log" 2>&1 ||
    { tail -n 40 "$logs/$name.log"; die "$name failed (full log: $logs/$name.log)"; }
}

cmake_build() {
  local name=$1 srcdir=$2 target=$3; shift 3
  step "$name" cmake -S "$srcdir" -B "$work/$name-build" \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DWAVENDELL_WINDOWS_PREFIX="$prefix" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DCMAKE_C_FLAGS="$map_paths" -DCMAKE_CXX_FLAGS="$map_paths" "$@"
  step "$name" cmake --build "$work/$name-build" -j"$jobs" ${target:+--target "$target"}
  step "$name" cmake --install "$work/$name-build"
}

# Debian's package builds tinyxml.o, tinyxmlparser.o and tinyxmlerror.o with
# TIXML_USE_STL (its patched header defines it as well; tinystr is not needed
# then) and ships only tinyxml.h; the same here, without Debian's hardening
# flags, whose stack protector would need libssp in every program.
build_tinyxml() {
  log "building tinyxml ${VERSION[tinyxml]}"
  unpack tinyxml
  local dir=$work/tinyxml f
  for f in tinyxml tinyxmlparser tinyxmlerror; do
    step tinyxml "$triple-g++-posix" -O2 "$map_paths" -DTIXML_USE_STL -c "$dir/$f.cpp" -o "$dir/$f.o"
  done
  mkdir -p "$prefix/lib/pkgconfig" "$prefix/include"
  step tinyxml "$triple-ar" rcs "$prefix/lib/libtinyxml.a" \
    "$dir/tinyxml.o" "$dir/tinyxmlparser.o" "$dir/tinyxmlerror.o"
  install -m 644 "$dir/tinyxml.h" "$prefix/include/"
  # Debian's pkg-config file, pointed at this prefix wherever it ends up.
  local upstream=${VERSION[tinyxml]#*:}
  upstream=${upstream%-*}
  sed -e 's|^prefix=.*|prefix=${pcfiledir}/../..|' \
      -e 's|^libdir=.*|libdir=${exec_prefix}/lib|' \
      -e "s|\${DEB_VERSION_UPSTREAM}|$upstream|" \
      "$dir/debian/tinyxml.pc.in" >"$prefix/lib/pkgconfig/tinyxml.pc"
}

# The libjpeg 6b interface, as Debian's libjpeg62-turbo, with nasm's SIMD
# code (REQUIRE_SIMD: fail rather than quietly build the slow one). Only the
# static library; the TurboJPEG interface is not used.
build_libjpeg_turbo() {
  log "building libjpeg-turbo ${VERSION[libjpeg-turbo]}"
  unpack libjpeg-turbo
  cmake_build libjpeg-turbo "$work/libjpeg-turbo" "" \
    -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_TURBOJPEG=OFF \
    -DWITH_SIMD=ON -DREQUIRE_SIMD=ON -DWITH_JPEG8=OFF -DWITH_JPEG7=OFF
  # Its command line tools and manuals are of no use here.
  rm -rf "${prefix:?}/bin" "${prefix:?}/share"
}

# GLEW's own CMake build, static library only (glew_s: libglew32.a, GLEW_STATIC
# in its exported target, linking opengl32). Its CMake package is what
# find_package(GLEW) uses for GLEW::GLEW.
build_glew() {
  log "building glew ${VERSION[glew]}"
  unpack glew
  cmake_build glew "$work/glew/build/cmake" glew_s \
    -DBUILD_SHARED_LIBS=OFF -DBUILD_UTILS=OFF
  # Its pkg-config file asks for glu.pc, which no Windows prefix has.
  rm -f "$prefix/lib/pkgconfig/glew.pc"
}

# gtest and gtest_main, static. On MinGW GoogleTest uses Windows' own
# threading, not pthreads. gmock is left out: nothing uses it yet.
build_googletest() {
  log "building googletest ${VERSION[googletest]}"
  unpack googletest
  cmake_build googletest "$work/googletest" "" \
    -DBUILD_SHARED_LIBS=OFF -DBUILD_GMOCK=OFF -DINSTALL_GTEST=ON -Dgtest_build_tests=OFF
}

check_prefix() {
  local f
  for f in include/tinyxml.h include/jpeglib.h include/jconfig.h include/GL/glew.h \
           include/GL/wglew.h include/gtest/gtest.h lib/libtinyxml.a lib/libjpeg.a \
           lib/libglew32.a lib/libgtest.a lib/libgtest_main.a lib/pkgconfig/tinyxml.pc \
           lib/cmake/glew/glew-config.cmake lib/cmake/GTest/GTestConfig.cmake; do
    [ -f "$prefix/$f" ] || die "$f is missing from $prefix"
  done
  grep -q '^#define WITH_SIMD' "$prefix/include/jconfig.h" || die "libjpeg-turbo was built without SIMD"
  local formats
  for f in "$prefix"/lib/*.a; do
    formats=$("$triple-objdump" -f "$f" | sed -n 's/.*file format //p' | sort -u)
    [ "$formats" = pe-x86-64 ] || die "$f holds objects of format ${formats:-none}, not only pe-x86-64"
  done
}

write_versions() {
  {
    local src
    for src in tinyxml libjpeg-turbo glew googletest; do echo "$src ${VERSION[$src]}"; done
    dpkg-query -W -f='${Package} ${Version}\n' \
      g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev nasm cmake
    echo "libjpeg-turbo SIMD on (nasm)"
  } >"$prefix/versions.txt"
}

build_all() {
  work=$(mktemp -d "$cache/work.XXXXXX")
  trap 'rm -rf "$work"' EXIT
  # Some builds resolve relative install paths against the current
  # directory: keep it in the scratch directory, away from the tree.
  cd "$work"
  # Source paths end up in the libraries (GoogleTest prints them): name them
  # the same on every build rather than after the random scratch directory.
  map_paths="-ffile-prefix-map=$work=/usr/src/wavendell-windows-deps"
  rm -rf "${prefix:?}"
  mkdir -p "$prefix"
  logs=$prefix/build-logs
  mkdir -p "$logs"
  local start=$SECONDS lib
  for lib in tinyxml libjpeg_turbo glew googletest; do
    local lib_start=$SECONDS
    "build_$lib"
    log "  took $((SECONDS - lib_start)) s"
  done
  check_prefix
  write_versions
  # Written last: a prefix without it is an interrupted build.
  touch "$prefix/.complete"
  log "built in $((SECONDS - start)) s"
}

main() {
  install_tools
  find_versions
  mkdir -p "$cache"
  prefix=$cache/$(cache_key)
  if [ ! -f "$prefix/.complete" ]; then
    # Developers on this machine share root's cache: one build at a time.
    exec 9>"$cache/.lock"
    flock -n 9 || { log "waiting for another build of the Windows libraries"; flock 9; }
    if [ ! -f "$prefix/.complete" ]; then
      fetch_sources
      build_all
    fi
  fi
  log "prefix: $prefix"
  echo "$prefix" >&3
}

main "$@"
