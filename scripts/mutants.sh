#!/usr/bin/env bash
# Planted faults: each fault of scripts/mutants.txt is planted by itself in a
# scratch copy of the tree, the tests it names are built and run, and the
# line is put back. A fault the tests do not catch, a fault whose original
# text is not found exactly once, and a fault that does not compile all fail
# the run.
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
# logs of the last run are in build/mutants/logs.
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
add_unique() { # add_unique ARRAY WORD: appends WORD unless the array holds it
  local -n into=$1
  local have
  for have in "${into[@]}"; do
    if [[ $have == "$2" ]]; then return 0; fi
  done
  into+=("$2")
}
specs=()   # the tests to run: every test of the picked faults, or in probe mode
targets=() # every executable the list names
for i in "${picked[@]}"; do
  read -ra words <<<"${tests[i]}"
  for t in "${words[@]}"; do add_unique specs "$t"; done
done
if [[ $mode == probe ]]; then
  for i in "${!names[@]}"; do
    read -ra words <<<"${tests[i]}"
    for t in "${words[@]}"; do add_unique targets "${t%%:*}"; done
  done
  specs=("${targets[@]}")
else
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
jobs=$(nproc)

build_targets() { # build_targets LOG TARGET...: false when the build fails
  local log=$1
  shift
  cmake --build "$build" -j "$jobs" --target "$@" >"$log" 2>&1
}

# Runs one test; true when it passes. A run that hangs is stopped and fails;
# how a run ended goes to the log (the shell's own note of a crash would
# clutter the report).
run_test() {
  local spec=$1 log=$2 exe filter='*' status=0
  exe=$build/tests/${spec%%:*}
  [[ -x $exe ]] || exe=$build/tests/api/${spec%%:*}
  [[ -x $exe ]] || die "no test executable '${spec%%:*}' in $build/tests"
  [[ $spec == *:* ]] && filter=${spec#*:}
  { timeout 120 "$exe" --gtest_filter="$filter" >>"$log" 2>&1; } 2>/dev/null || status=$?
  if ((status == 124)); then
    echo "mutants: $spec did not end within 120 s" >>"$log"
  elif ((status == 125 || status == 126 || status == 127)); then
    die "could not run $exe"
  elif ((status > 128)); then
    echo "mutants: $spec ended by signal $((status - 128))" >>"$log"
  fi
  return "$status"
}

echo "mutants: building ${targets[*]} in $build"
start=$SECONDS
if ! build_targets "$logs/build.log" "${targets[@]}"; then
  tail -40 "$logs/build.log" >&2
  die "the tree without planted faults does not build"
fi
# A fault only counts as caught by a test that passes without it.
for t in "${specs[@]}"; do
  if ! run_test "$t" "$logs/unplanted.log"; then
    tail -40 "$logs/unplanted.log" >&2
    die "$t fails without a planted fault"
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
    catchers=()
    for t in "${specs[@]}"; do run_test "$t" "$log" || catchers+=("$t"); done
    restore
    if ((${#catchers[@]})); then
      caught=$((caught + 1))
      printf 'caught    %-32s by %s\n' "$name" "${catchers[*]}"
      # The failing tests by name, to choose a gtest filter from.
      sed -n 's/^\[  FAILED  \] \([A-Za-z0-9_]*\.[A-Za-z0-9_]*\) .*/          \1/p' "$log" | sort -u
    else
      printf 'SURVIVED  %-32s\n' "$name"
    fi
    continue
  fi

  by=
  for t in "${own[@]}"; do
    if ! run_test "$t" "$log"; then
      by=$t
      break
    fi
  done
  restore
  if [[ -n $by ]]; then
    caught=$((caught + 1))
    printf 'caught    %-32s by %s\n' "$name" "$by"
  else
    printf 'SURVIVED  %-32s (ran %s)\n' "$name" "${tests[i]}"
  fi
done

echo "$caught of ${#picked[@]} planted faults caught"
((caught == ${#picked[@]}))
