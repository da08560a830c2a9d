#!/usr/bin/env bash
# Planted faults: each fault of scripts/mutants.txt is planted by itself in a
# scratch copy of the tree, the tests it names are built and run, and the
# line is put back. A caught fault's line says how the test ended: a failed
# assertion, a crash (a signal) or a timeout; a test that ends otherwise (a
# nonzero status without a failed test) catches nothing, and a fault no other
# test catches then is UNCLEAR. A fault the tests do not catch, a fault whose
# original text is not found exactly once, and a fault that does not compile
# all fail the run; so does a gtest filter that matches no test, before any
# fault is planted.
#
#   scripts/mutants.sh               every fault
#   scripts/mutants.sh --only NAME   one fault (may be given more than once)
#   scripts/mutants.sh --list        the faults' names, files and tests
#   scripts/mutants.sh --probe       run every test executable the list names
#                                    against each fault and print which catch it
#                                    (to choose the cheapest tests for a new fault)
#   scripts/mutants.sh --file FILE   another fault list
#
# The scratch copy (build/mutants/tree) holds the files git tracks, as they
# are in the working tree (a new file must be added to git first); its build
# (build/mutants/build) is kept between runs and rebuilt incrementally. The
# logs of the last run are in build/mutants/logs. MUTANTS_JOBS sets the build's
# parallel jobs (default: the number of processors), MUTANTS_TIMEOUT the
# seconds a test may run (default 120).
set -euo pipefail
set -f                                          # a gtest filter is no file pattern
shopt -u patsub_replacement 2>/dev/null || true # '&' in a replacement is literal
cd "$(dirname "$0")/.."
root=$PWD

die() {
  echo "mutants: $*" >&2
  exit 2
}

list=scripts/mutants.txt
only=()
mode=run
while (($#)); do
  case $1 in
    --only)
      [[ $# -ge 2 ]] || die "--only needs a fault's name"
      only+=("$2")
      shift 2
      ;;
    --file)
      [[ $# -ge 2 ]] || die "--file needs a path"
      list=$2
      shift 2
      ;;
    --list) mode=list && shift ;;
    --probe) mode=probe && shift ;;
    -h | --help)
      sed -n '2,/^set -euo/{/^set -euo/d;s/^# \{0,1\}//;p}' "$0"
      exit 0
      ;;
    *) die "unknown argument '$1' (see --help)" ;;
  esac
done
[[ -f $list ]] || die "no fault list $list"

# --- The list: one block of "key text" lines per fault, '#' comments.
names=() files=() froms=() tos=() tests=()
declare -A block=() seen=()
block_line=0
add_fault() {
  [[ -n ${block[fault]-} ]] || return 0
  local key
  for key in file from to tests; do
    [[ -n ${block[$key]+x} ]] || die "$list:$block_line: fault '${block[fault]}' has no '$key' line"
  done
  [[ ${block[from]} != "${block[to]}" ]] ||
    die "$list:$block_line: fault '${block[fault]}' replaces its text by itself"
  [[ -n ${block[from]} && -n ${block[tests]} ]] ||
    die "$list:$block_line: fault '${block[fault]}' has no original text or no tests"
  names+=("${block[fault]}") files+=("${block[file]}") froms+=("${block[from]}")
  tos+=("${block[to]}") tests+=("${block[tests]}")
  block=()
}
lineno=0
while IFS= read -r line || [[ -n $line ]]; do
  lineno=$((lineno + 1))
  [[ $line =~ ^[[:space:]]*(#|$) ]] && continue
  [[ $line =~ ^(fault|file|from|to|tests)([[:space:]]+(.*))?$ ]] ||
    die "$list:$lineno: expected 'fault', 'file', 'from', 'to' or 'tests': $line"
  key=${BASH_REMATCH[1]}
  text=${BASH_REMATCH[3]}
  text=${text%"${text##*[![:space:]]}"} # trailing blanks are never part of a text
  text=${text//\\n/$'\n'}              # \n stands for a line break
  if [[ $key == fault ]]; then
    add_fault
    [[ $text =~ ^[A-Za-z0-9_.+-]+$ ]] || die "$list:$lineno: bad fault name '$text'"
    [[ -z ${seen[$text]-} ]] || die "$list:$lineno: fault '$text' is listed twice"
    seen[$text]=1
    block_line=$lineno
  else
    [[ -n ${block[fault]-} ]] || die "$list:$lineno: '$key' before the first 'fault' line"
    [[ -z ${block[$key]+x} ]] || die "$list:$lineno: fault '${block[fault]}' has two '$key' lines"
  fi
  block[$key]=$text
done <"$list"
add_fault

picked=()
if ((${#only[@]})); then
  for o in "${only[@]}"; do
    found=
    for i in "${!names[@]}"; do
      if [[ ${names[i]} == "$o" ]]; then
        picked+=("$i")
        found=1
      fi
    done
    [[ -n $found ]] || die "no fault named '$o' in $list"
  done
else
  picked=("${!names[@]}")
fi

if [[ $mode == list ]]; then
  for i in "${picked[@]}"; do
    printf '%-32s %-34s %s\n' "${names[i]}" "${files[i]}" "${tests[i]}"
  done
  exit 0
fi

# A test is "executable" or "executable:gtest filter" (the filter may hold ':').
join() { # join SEPARATOR WORD...: the words with the separator between them
  local sep=$1 out=$2 w
  shift 2
  for w in "$@"; do out+=$sep$w; done
  printf '%s' "$out"
}
add_unique() { # add_unique ARRAY WORD: appends WORD unless the array holds it
  local -n into=$1
  local have
  for have in "${into[@]}"; do
    if [[ $have == "$2" ]]; then return 0; fi
  done
  into+=("$2")
}
owned=()   # every test the picked faults name
targets=() # the executables to build: those, or in probe mode every one the list names
for i in "${picked[@]}"; do
  read -ra words <<<"${tests[i]}"
  for t in "${words[@]}"; do add_unique owned "$t"; done
done
if [[ $mode == probe ]]; then
  for i in "${!names[@]}"; do
    read -ra words <<<"${tests[i]}"
    for t in "${words[@]}"; do add_unique targets "${t%%:*}"; done
  done
  specs=("${targets[@]}") # the tests to run: whole executables
else
  specs=("${owned[@]}")
  for t in "${specs[@]}"; do add_unique targets "${t%%:*}"; done
fi

# --- The scratch tree and its build.
scripts/setup.sh
scratch=$root/build/mutants
tree=$scratch/tree
build=$scratch/build
logs=$scratch/logs
mkdir -p "$tree" "$logs"
find "$logs" -name '*.log' -delete

# Copy what git tracks; a file is rewritten (with a new time, so that the
# build sees it) only when its content differs, and files that git no longer
# tracks leave the copy, so that the build's globs see the same sources.
declare -A tracked=()
while IFS= read -r -d '' f; do
  [[ -f $f ]] || continue # deleted in the working tree
  tracked[$f]=1
  if ! cmp -s "$f" "$tree/$f"; then
    mkdir -p "$tree/$(dirname "$f")"
    cp "$f" "$tree/$f"
  fi
done < <(git ls-files -z)
while IFS= read -r -d '' f; do
  [[ -n ${tracked[${f#./}]-} ]] || rm -f "$tree/$f"
done < <(cd "$tree" && find . -type f -print0)

shared=$root/../shared
[[ -d $shared ]] || shared=$root/../../shared
shared_flag=()
[[ -d $shared ]] && shared_flag=(-DQRV_SHARED_DIR="$(cd "$shared" && pwd)")
if ! cmake -S "$tree" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQRV_BUILD_TESTS=ON \
  -DQRV_BUILD_BENCH=OFF -DQRV_BUILD_EXAMPLES=OFF "${shared_flag[@]}" >"$logs/configure.log" 2>&1; then
  cat "$logs/configure.log" >&2
  die "configuring the scratch build failed"
fi
jobs=${MUTANTS_JOBS:-$(nproc)}
limit=${MUTANTS_TIMEOUT:-120}
[[ $jobs =~ ^[1-9][0-9]*$ ]] || die "MUTANTS_JOBS must be a positive number, not '$jobs'"
[[ $limit =~ ^[1-9][0-9]*$ ]] || die "MUTANTS_TIMEOUT must be a positive number of seconds, not '$limit'"

build_targets() { # build_targets LOG TARGET...: false when the build fails
  local log=$1
  shift
  cmake --build "$build" -j "$jobs" --target "$@" >"$log" 2>&1
}

find_test() { # find_test SPEC: sets exe and filter
  exe=$build/tests/${1%%:*}
  [[ -x $exe ]] || exe=$build/tests/api/${1%%:*}
  [[ -x $exe ]] || die "no test executable '${1%%:*}' in $build/tests"
  filter='*'
  [[ $1 == *:* ]] && filter=${1#*:}
  return 0
}

# Runs one test and sets `ended` to how it ended. Returns 0 when it passed,
# 1 when it caught a fault: a crash (a signal: an abort, a sanitizer's abort,
# a segfault), a timeout or a failed assertion (a nonzero status with a failed
# test in gtest's report; the status is 1 unless a later test stopped the
# executable otherwise). Any other end returns 2: a nonzero status without a
# failed test says that the executable stopped, not that a test saw the fault
# (an exit from a static destructor after every test passed, an environment
# that refused to start), so it is no proof of a catch, and counting it as
# survival would hide that something else broke; the run fails so that a
# human reads the log. The shell's own note of a crash would clutter the
# report, so how a run ended goes to the log.
run_test() {
  local spec=$1 log=$2 out=$logs/run.out status=0
  find_test "$spec"
  { timeout "$limit" "$exe" --gtest_filter="$filter" --gtest_color=no >"$out" 2>&1; } 2>/dev/null ||
    status=$?
  cat "$out" >>"$log"
  if ((status == 125 || status == 126 || status == 127)); then
    die "could not run $exe"
  elif ((status == 0)); then
    ended=passed
  elif ((status == 124)); then
    ended=timeout
  elif ((status > 128)); then
    ended="crash: signal $((status - 128))"
  elif grep -q '^\[  FAILED  \] ' "$out"; then
    ended="failed assertion"
  else
    ended="exit status $status without a failed test"
  fi
  echo "mutants: $spec: $ended" >>"$log"
  case $ended in
    passed) return 0 ;;
    timeout | crash:* | "failed assertion") return 1 ;;
    *) return 2 ;;
  esac
}

echo "mutants: building ${targets[*]} in $build"
start=$SECONDS
if ! build_targets "$logs/build.log" "${targets[@]}"; then
  tail -40 "$logs/build.log" >&2
  die "the tree without planted faults does not build"
fi
# A filter that matches no test passes without a fault and then lets every
# fault it is meant to catch survive: a slip in the list, named before any
# fault is planted. (Probe mode runs whole executables, but checks the
# faults' own filters all the same.)
empty=0
for t in "${owned[@]}"; do
  find_test "$t"
  "$exe" --gtest_list_tests --gtest_filter="$filter" >"$logs/list.out" 2>&1 ||
    die "could not list the tests of $exe"
  (($(awk '/^  /{n++} END{print n+0}' "$logs/list.out"))) && continue
  namers=()
  for i in "${picked[@]}"; do
    read -ra words <<<"${tests[i]}"
    for w in "${words[@]}"; do [[ $w == "$t" ]] && add_unique namers "${names[i]}"; done
  done
  echo "mutants: $t matches no test (named by ${namers[*]})" >&2
  empty=$((empty + 1))
done
((empty == 0)) || die "$empty gtest filter(s) of $list match no test"

# A fault only counts as caught by a test that passes without it.
for t in "${specs[@]}"; do
  if ! run_test "$t" "$logs/unplanted.log"; then
    tail -40 "$logs/unplanted.log" >&2
    die "$t fails without a planted fault ($ended)"
  fi
done
echo "mutants: built and ran the tests without faults in $((SECONDS - start)) s"

# --- The faults, one at a time.
planted_file=
planted_text=
restore() {
  if [[ -n $planted_file ]]; then
    printf '%s' "$planted_text" >"$planted_file"
    planted_file=
  fi
}
trap restore EXIT
trap 'restore; exit 130' INT TERM

caught=0
for i in "${picked[@]}"; do
  name=${names[i]} file=${files[i]} from=${froms[i]} to=${tos[i]}
  log=$logs/$name.log
  path=$tree/$file
  if [[ ! -f $path ]]; then
    printf 'STALE     %-32s %s is not a tracked file\n' "$name" "$file"
    continue
  fi
  content=$(
    cat "$path"
    printf x
  )
  content=${content%x} # every trailing line break kept
  rest=${content//"$from"/}
  count=$(((${#content} - ${#rest}) / ${#from}))
  if ((count != 1)); then
    printf 'STALE     %-32s its original text is found %d times in %s\n' "$name" "$count" "$file"
    continue
  fi
  planted_file=$path planted_text=$content
  printf '%s' "${content/"$from"/"$to"}" >"$path"

  read -ra own <<<"${tests[i]}"
  if [[ $mode == probe ]]; then
    need=("${targets[@]}")
  else
    need=()
    for t in "${own[@]}"; do add_unique need "${t%%:*}"; done
  fi
  if ! build_targets "$log" "${need[@]}"; then
    restore
    printf 'NO BUILD  %-32s the planted fault does not compile (%s)\n' "$name" "$log"
    continue
  fi

  if [[ $mode == probe ]]; then
    catchers=() unclear=()
    for t in "${specs[@]}"; do
      status=0
      run_test "$t" "$log" || status=$?
      ((status == 1)) && catchers+=("$t ($ended)")
      ((status == 2)) && unclear+=("$t ($ended)")
    done
    restore
    if ((${#catchers[@]})); then
      caught=$((caught + 1))
      printf 'caught    %-32s by %s\n' "$name" "$(join ', ' "${catchers[@]}")"
      ((${#unclear[@]} == 0)) || printf '          also %s\n' "$(join ', ' "${unclear[@]}")"
      # The failing tests by name, to choose a gtest filter from.
      sed -n 's/^\[  FAILED  \] \([A-Za-z0-9_]*\.[A-Za-z0-9_]*\) .*/          \1/p' "$log" | sort -u
    elif ((${#unclear[@]})); then
      printf 'UNCLEAR   %-32s %s (%s)\n' "$name" "$(join ', ' "${unclear[@]}")" "$log"
    else
      printf 'SURVIVED  %-32s\n' "$name"
    fi
    continue
  fi

  # The first test that catches the fault reports it; one that ends in a way
  # that proves nothing does not stop the next from catching it.
  by='' odd=''
  for t in "${own[@]}"; do
    status=0
    run_test "$t" "$log" || status=$?
    if ((status == 1)); then
      by="$t ($ended)"
      break
    fi
    ((status == 2)) && [[ -z $odd ]] && odd="$t ($ended)"
  done
  restore
  if [[ -n $by ]]; then
    caught=$((caught + 1))
    printf 'caught    %-32s by %s\n' "$name" "$by"
  elif [[ -n $odd ]]; then
    printf 'UNCLEAR   %-32s %s (%s)\n' "$name" "$odd" "$log"
  else
    printf 'SURVIVED  %-32s (ran %s)\n' "$name" "${tests[i]}"
  fi
done

echo "$caught of ${#picked[@]} planted faults caught"
((caught == ${#picked[@]}))
