# Sourced by the build scripts: `configure BUILD_DIR CMAKE_ARGS...` configures a build folder
# with Ninja, starting afresh when the folder was configured with another generator before.
configure() {
  local dir=$1
  shift
  if [ -f "$dir/CMakeCache.txt" ] && ! grep -q '^CMAKE_GENERATOR:INTERNAL=Ninja$' "$dir/CMakeCache.txt"; then
    rm -rf "$dir/CMakeCache.txt" "$dir/CMakeFiles"
  fi
  cmake -S . -B "$dir" -G Ninja "$@" >/dev/null
}
