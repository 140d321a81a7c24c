#!/bin/sh
# Runs velmfit in a directory as its users do and compares with golden files:
#   velmfit_run.sh VELMFIT DIR STATUS OUT ERR [--plots EXPECTED] [--tty] -- ARGS...
# The exit status must be STATUS; standard output and standard error must
# match the files OUT and ERR line by line, except that a fit time (the only
# number with one decimal in the table, "fit_ms" in JSON) and a "*" in the
# expected file both read as "*". Message lines (loading, size and error
# lines) must end with CR LF and all other lines with LF alone; a wrong line
# end shows in the diff as "<no CR>" or "<CR>".
# --plots: velmfit writes its plots into a new directory, which must hold
# exactly the files of EXPECTED. --tty: standard error is a terminal and
# standard output is dropped (for the progress line).
tool=$1 dir=$2 status=$3 out=$4 err=$5
shift 5
plots= tty=
while [ "$1" != -- ]; do
  case $1 in
    --plots) plots=$2; shift 2 ;;
    --tty) tty=1; shift ;;
    *) echo "velmfit_run.sh: unknown option '$1' (velmfit's arguments follow --)"; exit 2 ;;
  esac
done
shift
work=$(mktemp -d) || exit 1
trap 'rm -rf "$work"' EXIT
[ -n "$plots" ] && set -- --plot "$work/plots" "$@"
cd "$dir" || exit 1
if [ -n "$tty" ]; then
  script -qec "$tool $* 2>&1 >/dev/null" /dev/null >"$work/err" </dev/null
else
  "$tool" "$@" >"$work/out" 2>"$work/err"
fi
actual=$?
mask() { sed -E -e '/"/!s/ +([0-9]+\.[0-9]|\*)( |$)/ *\2/g' -e 's/("fit_ms": )[^,]*/\1*/'; }
ends() {
  sed -E -e '/^(# <{13}|\*\*\* (ERROR|WARNING) \*\*\* : |skeleton file: |animation file: |\^ )/{s/\r$//;t;s/$/<no CR>/;b}' \
    -e 's/\r$/<CR>/' "$1"
}
compare() { mask <"$1" >"$work/want" && ends "$2" | mask | diff -u --label "$1" --label actual "$work/want" -; }
failed=0
[ "$actual" = "$status" ] || { echo "exit status $actual, expected $status"; failed=1; }
[ -n "$tty" ] || compare "$out" "$work/out" || failed=1
compare "$err" "$work/err" || failed=1
[ -z "$plots" ] || diff -r "$plots" "$work/plots" || failed=1
exit $failed
