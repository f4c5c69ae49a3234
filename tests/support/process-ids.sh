# Telling one process from another: an id is given again once its process has ended, but with
# its start time (field 22 of /proc/PID/stat, in clock ticks since boot) it names one process
# only. Read with builtins alone, so that asking starts no process.
# shellcheck shell=bash

# Sets started to when the process of that id started; fails where there is none, or only a
# zombie that nobody has reaped yet.
read_start_time() { # PID
  local stat fields
  started=
  read -r stat 2>/dev/null <"/proc/$1/stat" || return 1
  read -r -a fields <<<"${stat##*) }"
  [ "${fields[0]}" != Z ] || return 1
  started=${fields[19]}
}

# Whether the process of that id lives and is still the one that started then.
same_process() { # PID START
  local started
  read_start_time "$1" && [ "$started" = "$2" ]
}
