#!/bin/sh
# Starts Grumbo from its run folder, since the game reads ./shaders/ and ../Resources/ from its
# working folder. The run folder is found from the launcher's own place, so an unpacked copy of
# the package starts as well as the installed one.
# A relative FILE after --record or --replay names a file in the folder the player started
# from: it is made absolute before the game moves away from that folder.
here=$(dirname "$(readlink -f "$0")")
count=$#
previous=
while [ "$count" -gt 0 ]; do
    argument=$1
    shift
    case $previous in
    --record | --replay)
        case $argument in
        /*) ;;
        *) argument="$PWD/$argument" ;;
        esac
        ;;
    esac
    set -- "$@" "$argument"
    previous=$argument
    count=$((count - 1))
done
cd "$here/../lib/games/grumbo/run" || exit 1
exec ./Grumbo "$@"
