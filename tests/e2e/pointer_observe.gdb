# Breakpoints that note, as "seen: ..." lines, where the game's user interface is told the pointer is when
# it moves and when a button is released; each lets the game go on at once, except on a move to (7, 5):
# there the game is held, with a file "held" in its working folder, until a file "go" appears there (or
# for ten seconds), so that what the player does meanwhile reaches it in one frame. Used by pointer_e2e.sh.
#
# Each breakpoint sits on the function's first instruction, where $rsi holds the OIS::MouseEvent (see
# input_observe.gdb). OIS's types carry no debug information in the program, so the fields are read by
# their place in OIS 1.3's layout: the event holds a pointer to its MouseState 16 bytes in (after the
# table of virtual functions and the device); the state's absolute x lies 12 bytes in (after width,
# height and the axis's component type), its absolute y 28 bytes in (one 16-byte axis further).
set pagination off
set confirm off
set disable-randomization off

break *cl_GUISystem::MouseMoved
commands
silent
set $state = *(char**)($rsi + 16)
printf "seen: move %d %d\n", *(int*)($state + 12), *(int*)($state + 28)
if *(int*)($state + 12) == 7 && *(int*)($state + 28) == 5
shell touch held; for i in $(seq 100); do [ -e go ] && break; sleep 0.1; done
end
continue
end

break *cl_GUISystem::MouseReleased
commands
silent
set $state = *(char**)($rsi + 16)
printf "seen: release %d %d\n", *(int*)($state + 12), *(int*)($state + 28)
continue
end

run
quit $_exitcode
