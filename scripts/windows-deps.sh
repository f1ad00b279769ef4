#!/usr/bin/env bash
# Builds the third-party libraries of the Windows programs from Debian's own source packages
# with the mingw-w64 cross compiler, as static libraries, into build-win/deps/prefix. Each
# library is built once per pinned version (a stamp file records it); run again, it only
# checks the stamps. Only the parts the programs use are built, without tools or tests.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
deps=$root/build-win/deps
prefix=$deps/prefix
mkdir -p "$deps/src" "$deps/stamps" "$prefix/include" "$prefix/lib"

# Debian source package → pinned version. A version the archive no longer serves (a newer
# security upload replaced it) falls back to the archive's current one, with a warning.
declare -A pinned=(
  [zlib]=1:1.2.13.dfsg-1
  [sqlite3]=3.40.1-2+deb12u2
  [expat]=2.5.0-1+deb12u2
  [libzip]=1.7.3-1
  [libxlsxwriter]=1.1.4-2
  [libmicrohttpd]=0.9.75-6
  [freetype]=2.12.1+dfsg-5+deb12u4
  [nlohmann-json3]=3.11.2-2
  [cpp-httplib]=0.11.4+ds-1+deb12u1
  [googletest]=1.12.1-0.2
  [benchmark]=1.7.1-1
)

host=x86_64-w64-mingw32
export CC=$host-gcc-posix CXX=$host-g++-posix AR=$host-gcc-ar-posix RANLIB=$host-gcc-ranlib-posix
flags="-O1 -g0"
toolchain=$root/cmake/mingw-w64.cmake

# A private apt state with deb-src lines of the machine's own Debian sources, so that the
# system's package lists are neither needed nor touched.
apt_dir=$deps/apt
apt_opts=(-o "Dir::Etc::SourceList=$apt_dir/sources.list.d/debian-src.sources"
  -o "Dir::Etc::SourceParts=$apt_dir/sources.list.d" -o "Dir::State::Lists=$apt_dir/lists"
  -o "Dir::Cache=$apt_dir/cache" -o "Debug::NoLocking=1" -o "APT::Sandbox::User=root")
apt_ready=0
prepare_apt() {
  ((apt_ready)) && return
  mkdir -p "$apt_dir/sources.list.d" "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial"
  local sources=/etc/apt/sources.list.d/debian.sources
  if [ -f "$sources" ]; then
    sed 's/^Types: .*/Types: deb-src/' "$sources" >"$apt_dir/sources.list.d/debian-src.sources"
  else
    grep -h '^deb ' /etc/apt/sources.list | sed 's/^deb /deb-src /' >"$apt_dir/sources.list.d/debian-src.list"
    : >"$apt_dir/sources.list.d/debian-src.sources"
  fi
  apt-get -q "${apt_opts[@]}" update >"$apt_dir/update.log" 2>&1 || { cat "$apt_dir/update.log"; exit 1; }
  apt_ready=1
}

# Unpacks the package's source (with Debian's patches applied) and prints its directory.
fetch() {
  local name=$1 version=${pinned[$1]}
  local dir=$deps/src/$name
  if [ -f "$dir/.version" ] && [ "$(cat "$dir/.version")" = "$version" ]; then
    echo "$dir"
    return
  fi
  prepare_apt
  rm -rf "$dir" "$deps/src/.dl-$name"
  mkdir -p "$deps/src/.dl-$name"
  (
    cd "$deps/src/.dl-$name"
    if ! apt-get -q "${apt_opts[@]}" source --download-only "$name=$version" >fetch.log 2>&1; then
      echo "windows-deps: $name $version is no longer in the archive; taking its current version" >&2
      apt-get -q "${apt_opts[@]}" source --download-only "$name" >fetch.log 2>&1 || { cat fetch.log >&2; exit 1; }
    fi
    dpkg-source -q -x ./*.dsc unpacked >/dev/null
  ) >&2
  mv "$deps/src/.dl-$name/unpacked" "$dir"
  rm -rf "$deps/src/.dl-$name"
  echo "$version" >"$dir/.version"
  echo "$dir"
}

# A stamp names the version, the flags and the build recipe below, so that a changed recipe
# rebuilds that one library.
stamp_of() { echo "${pinned[$1]} $flags $(declare -f "build_$1" | sha256sum | cut -c1-12)"; }
built() { [ -f "$deps/stamps/$1" ] && [ "$(cat "$deps/stamps/$1")" = "$(stamp_of "$1")" ]; }
mark_built() { stamp_of "$1" >"$deps/stamps/$1"; }

cmake_configure() {  # cmake_configure SOURCE_DIR BUILD_NAME CMAKE_ARGS...
  local src=$1 build=$deps/build/$2
  shift 2
  rm -rf "$build"
  cmake -S "$src" -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_C_FLAGS_RELEASE="$flags" -DCMAKE_CXX_FLAGS_RELEASE="$flags" -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DCMAKE_PREFIX_PATH="$prefix" -DBUILD_SHARED_LIBS=OFF --no-warn-unused-cli "$@" >"$build.log" 2>&1 ||
    { tail -30 "$build.log"; exit 1; }
}
cmake_install() {  # cmake_install BUILD_NAME
  local build=$deps/build/$1
  cmake --build "$build" -j"$(nproc)" >>"$deps/build/$1.log" 2>&1 &&
    cmake --install "$build" >>"$deps/build/$1.log" 2>&1 || { tail -30 "$deps/build/$1.log"; exit 1; }
}
cmake_dep() {  # cmake_dep SOURCE_DIR BUILD_NAME CMAKE_ARGS...
  cmake_configure "$@"
  cmake_install "$2"
}
mkdir -p "$deps/build"

build_zlib() {
  src=$(fetch zlib)
  obj=$deps/build/zlib
  rm -rf "$obj" && mkdir -p "$obj"
  for c in adler32 compress crc32 deflate gzclose gzlib gzread gzwrite infback inffast inflate inftrees trees \
    uncompr zutil; do
    $CC $flags -c "$src/$c.c" -o "$obj/$c.o" &
  done
  wait
  rm -f "$prefix/lib/libz.a"
  $AR rcs "$prefix/lib/libz.a" "$obj"/*.o
  cp "$src/zlib.h" "$src/zconf.h" "$prefix/include/"
}

build_sqlite3() {
  src=$(fetch sqlite3)
  obj=$deps/build/sqlite3
  rm -rf "$obj" && mkdir -p "$obj"
  # The single-file form of SQLite is generated from the source tree by the build machine's own tools.
  (cd "$obj" && env -u CC -u CXX -u AR -u RANLIB "$src/configure" --disable-tcl --disable-readline \
    >configure.log 2>&1 && env -u CC -u CXX -u AR -u RANLIB make -j"$(nproc)" sqlite3.c >make.log 2>&1) ||
    { tail -30 "$obj"/*.log; exit 1; }
  # Options of Debian's own build that change what a database file holds or what a query may ask.
  $CC $flags -c "$obj/sqlite3.c" -o "$obj/sqlite3.o" -DSQLITE_ENABLE_FTS5 -DSQLITE_THREADSAFE=1 \
    -DSQLITE_SECURE_DELETE -DSQLITE_OMIT_LOOKASIDE=1 -DSQLITE_MAX_VARIABLE_NUMBER=250000 \
    -DSQLITE_LIKE_DOESNT_MATCH_BLOBS -DSQLITE_MAX_SCHEMA_RETRY=25 -DSQLITE_ENABLE_DBSTAT_VTAB
  rm -f "$prefix/lib/libsqlite3.a"
  $AR rcs "$prefix/lib/libsqlite3.a" "$obj/sqlite3.o"
  cp "$obj/sqlite3.h" "$src/src/sqlite3ext.h" "$prefix/include/" 2>/dev/null || cp "$obj/sqlite3.h" "$prefix/include/"
}

build_expat() {
  src=$(fetch expat)
  cmake_configure "$src/expat" expat -DEXPAT_BUILD_TOOLS=OFF -DEXPAT_BUILD_EXAMPLES=OFF -DEXPAT_BUILD_TESTS=OFF \
    -DEXPAT_BUILD_DOCS=OFF -DEXPAT_BUILD_FUZZERS=OFF -DEXPAT_SHARED_LIBS=OFF -DEXPAT_BUILD_PKGCONFIG=OFF
  # Debian's patches test the DTD switch by value, as its own build defines it; CMake's header leaves it empty.
  sed -i 's/^#define XML_DTD *$/#define XML_DTD 1/; s/^#define XML_NS *$/#define XML_NS 1/' \
    "$deps/build/expat/expat_config.h"
  cmake_install expat
}

build_libzip() {
  src=$(fetch libzip)
  cmake_dep "$src" libzip -DENABLE_BZIP2=OFF -DENABLE_LZMA=OFF -DENABLE_ZSTD=OFF -DENABLE_COMMONCRYPTO=OFF \
    -DENABLE_GNUTLS=OFF -DENABLE_MBEDTLS=OFF -DENABLE_OPENSSL=OFF -DENABLE_WINDOWS_CRYPTO=OFF -DBUILD_TOOLS=OFF \
    -DBUILD_REGRESS=OFF -DBUILD_EXAMPLES=OFF -DBUILD_DOC=OFF -DZLIB_LIBRARY="$prefix/lib/libz.a" \
    -DZLIB_INCLUDE_DIR="$prefix/include"
}

build_libxlsxwriter() {
  src=$(fetch libxlsxwriter)
  cmake_dep "$src" libxlsxwriter -DBUILD_TESTS=OFF -DBUILD_EXAMPLES=OFF -DZLIB_LIBRARY="$prefix/lib/libz.a" \
    -DZLIB_INCLUDE_DIR="$prefix/include"
}

build_freetype() {
  src=$(fetch freetype)
  # FreeType's gzip reader takes our zlib: left to itself it compiles its own copy, whose
  # functions clash with zlib's when both are linked into one program.
  cmake_dep "$src" freetype -DFT_REQUIRE_ZLIB=ON -DZLIB_LIBRARY="$prefix/lib/libz.a" \
    -DZLIB_INCLUDE_DIR="$prefix/include" -DFT_DISABLE_BZIP2=ON -DFT_DISABLE_PNG=ON \
    -DFT_DISABLE_HARFBUZZ=ON -DFT_DISABLE_BROTLI=ON
}

build_libmicrohttpd() {
  src=$(fetch libmicrohttpd)
  obj=$deps/build/libmicrohttpd
  rm -rf "$obj" && mkdir -p "$obj"
  # Plain HTTP on the loopback only: no TLS, no authentication, no examples or documentation.
  (cd "$obj" && CFLAGS="$flags" "$src/configure" --host=$host --prefix="$prefix" --enable-static --disable-shared \
    --disable-doc --disable-examples --disable-tools --disable-curl --disable-https --without-gnutls \
    --disable-dauth --disable-bauth --disable-httpupgrade --disable-postprocessor --disable-epoll \
    --disable-nls >configure.log 2>&1 && make -j"$(nproc)" -C src/microhttpd >make.log 2>&1 &&
    make -C src/microhttpd install >>make.log 2>&1 && make -C src/include install >>make.log 2>&1) ||
    { tail -30 "$obj"/*.log; exit 1; }
}

build_googletest() {
  src=$(fetch googletest)
  cmake_dep "$src" googletest -DBUILD_GMOCK=ON -DINSTALL_GTEST=ON -Dgtest_disable_pthreads=OFF
}

# Google Benchmark, for the core's benchmark programs (bench/run.sh runs them under Wine too).
build_benchmark() {
  src=$(fetch benchmark)
  # Debian's patches leave the library's version to the packaging, which passes it as GIT_VERSION.
  cmake_dep "$src" benchmark -DGIT_VERSION="${pinned[benchmark]%-*}" -DBENCHMARK_ENABLE_TESTING=OFF \
    -DBENCHMARK_ENABLE_GTEST_TESTS=OFF -DBENCHMARK_ENABLE_WERROR=OFF -DBENCHMARK_ENABLE_LTO=OFF \
    -DBENCHMARK_ENABLE_INSTALL=ON -DBENCHMARK_INSTALL_DOCS=OFF -DBENCHMARK_ENABLE_LIBPFM=OFF
}

# Header-only libraries: their headers are all there is to take.
build_nlohmann-json3() {
  src=$(fetch nlohmann-json3)
  mkdir -p "$prefix/include/nlohmann"
  cp "$src/single_include/nlohmann/json.hpp" "$src/single_include/nlohmann/json_fwd.hpp" "$prefix/include/nlohmann/"
}
build_cpp-httplib() {
  src=$(fetch cpp-httplib)
  cp "$src/httplib.h" "$prefix/include/"
}

build_in_turn() {
  for dep in "$@"; do
    built "$dep" && continue
    local started=$SECONDS
    "build_$dep"
    mark_built "$dep"
    echo "windows-deps: $dep ${pinned[$dep]} built in $((SECONDS - started)) s"
  done
}

all_built() {
  local dep
  for dep in "${!pinned[@]}"; do built "$dep" || return 1; done
}

# A finished prefix is kept in a per-user cache outside the clone, keyed by this script (which
# pins every version and flag), the toolchain file and the compiler's version, so that a fresh
# clone (CI clones afresh every run) takes it in seconds instead of building for a quarter of an
# hour. CALCORA_WINDOWS_DEPS_CACHE names another cache folder; set it empty to use none.
cache_root=${CALCORA_WINDOWS_DEPS_CACHE-${XDG_CACHE_HOME:-$HOME/.cache}/calcora/windows-deps}
cache=
if [ -n "$cache_root" ]; then
  key=$( (cat "$root/scripts/windows-deps.sh" "$toolchain"; $CXX -dumpfullversion) | sha256sum | cut -c1-16)
  cache=$cache_root/$key
fi

if ! all_built && [ -n "$cache" ] && [ -f "$cache/complete" ]; then
  rm -rf "$prefix" "$deps/stamps"
  cp -a "$cache/prefix" "$prefix"
  cp -a "$cache/stamps" "$deps/stamps"
  echo "windows-deps: libraries taken from the cache $key"
fi

if ! all_built; then
  # Fetch every source first (one apt session), then build in two lanes: most of a build's time
  # is a configure step on one core, so two lanes keep both cores busy. zlib comes first in the
  # lane whose libraries need it.
  for dep in "${!pinned[@]}"; do built "$dep" || fetch "$dep" >/dev/null; done
  build_in_turn zlib sqlite3 libzip libxlsxwriter freetype &
  lane=$!
  build_in_turn expat libmicrohttpd googletest benchmark nlohmann-json3 cpp-httplib
  wait $lane
  all_built || { echo "windows-deps: a library did not build" >&2; exit 1; }
fi

# Fill the cache once: copied under a temporary name and renamed, so that a run cut short or a
# second run beside this one never sees half a prefix.
if [ -n "$cache" ] && [ ! -f "$cache/complete" ]; then
  mkdir -p "$cache_root"
  staging=$(mktemp -d "$cache_root/.filling.XXXXXX")
  cp -a "$prefix" "$staging/prefix"
  cp -a "$deps/stamps" "$staging/stamps"
  touch "$staging/complete"
  if mv -T "$staging" "$cache" 2>/dev/null; then
    echo "windows-deps: libraries kept in the cache $key"
  else
    rm -rf "$staging"  # another run filled it first
  fi
fi
