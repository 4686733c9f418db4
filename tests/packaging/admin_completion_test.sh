#!/usr/bin/env bash
# The bash completion of kestrel4-admin against the program as built: the
# commands, second words, options and conf set fields it offers.
# $1: the directory of kestrel4-admin, $2: the completion file.
set -uo pipefail
completion=/usr/share/bash-completion/bash_completion
if [ ! -r "$completion" ]; then
  echo "brak bash-completion (tools/setup.sh go instaluje)"
  exit 77
fi
source "$completion"
export PATH=$1:$PATH
source "$2"
status=0
offered() {
  COMP_WORDS=("$@"); COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
  COMP_LINE="${COMP_WORDS[*]}"; COMP_POINT=${#COMP_LINE}; COMPREPLY=()
  _kestrel4_admin
  echo "${COMPREPLY[*]}"
}
expect() {
  local want=$1; shift
  local got
  got=$(offered "$@")
  if [ "$got" != "$want" ]; then
    echo "BŁĄD: [$*] daje \"$got\", oczekiwano \"$want\""
    status=1
  else
    echo "[$*] -> $got"
  fi
}
# Every command the program lists (new ones included: the list is its --help).
listed=$(kestrel4-admin --help 2>/dev/null | awk '/^  [a-z]/ {print $1}' | sort -u | tr '\n' ' ')
expect "${listed}--help" kestrel4-admin ""
for command in conf convert db demo events find history index init subscribers; do
  grep -qw -- "$command" <<<"$listed" || { echo "BŁĄD: --help nie wymienia $command"; status=1; }
done
expect "conf convert" kestrel4-admin co
expect "base set show" kestrel4-admin conf ""
expect "export import" kestrel4-admin subscribers ""
expect "rebuild" kestrel4-admin index ""
expect "base1_port= base2_port= base1_speed= base2_speed=" kestrel4-admin conf set ba
expect "export" kestrel4-admin history ""
# The history options are the filter's; a few that must be there.
for option in --from --to --raw --subscriber --code --data; do
  grep -qw -- "$option" <<<"$(offered kestrel4-admin history --)" || { echo "BŁĄD: history -- nie daje $option"; status=1; }
done
expect "--force --help" kestrel4-admin init --
exit $status
