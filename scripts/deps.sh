#!/bin/sh
# Installs the Debian packages that a job needs and the machine lacks.
#   deps.sh build   the compiler and CMake, enough to build the program
#   deps.sh test    also GoogleTest, Google Benchmark and libsndfile for the tests
#   deps.sh windows the mingw-w64 cross compiler and Wine, for the Windows build
#   deps.sh fuzz    clang and its fuzzer runtime
set -eu

case "${1:-}" in
  build) wanted="g++ cmake make" ;;
  test) wanted="g++ cmake make pkg-config googletest libgtest-dev libgmock-dev libbenchmark-dev libsndfile1-dev" ;;
  windows) wanted="cmake make g++-mingw-w64-x86-64 wine64" ;;
  fuzz) wanted="cmake make clang libclang-rt-14-dev googletest libgtest-dev libgmock-dev pkg-config libsndfile1-dev" ;;
  *) echo "usage: deps.sh build|test|windows|fuzz" >&2; exit 2 ;;
esac

missing=""
for package in $wanted; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing="$missing $package"
  fi
done

if [ -n "$missing" ]; then
  echo "installing:$missing"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  # shellcheck disable=SC2086
  apt-get install -y -qq --no-install-recommends $missing
fi
