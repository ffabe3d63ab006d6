# Breakpoints that note, as "seen: ..." lines, which input handlers of the game run and what they pass on;
# each lets the game go on at once. Used by input_e2e.sh.
#
# Each breakpoint sits on the function's first instruction ("*"), where the arguments are still in the
# registers of the x86-64 calling convention ($rdi: this or the first argument, $esi and $edx the next):
# after the prologue a sanitized build has not yet stored them where the debug information says.
set pagination off
set confirm off
# Containers may forbid switching address-space randomisation off; nothing here needs it.
set disable-randomization off

break *platform::ShowCursor
commands
silent
printf "seen: ShowCursor %d\n", $edi & 1
continue
end

break *TarqApp::HandleLeftClick
commands
silent
printf "seen: left click in the game\n"
continue
end

break *cl_GameComponents::Examine
commands
silent
printf "seen: examine\n"
continue
end

break *TarqApp::HandleEscape
commands
silent
printf "seen: Escape in mode %d\n", ((TarqApp*) $rdi)->m_mode
continue
end

break *TarqApp::SetMode
commands
silent
printf "seen: mode %d\n", $esi
continue
end

break *cl_GUISystem::KeyPressed
commands
silent
printf "seen: GUI key\n"
continue
end

break *cl_GUISystem::MouseReleased
commands
silent
printf "seen: GUI release of button %d\n", $edx
continue
end

run
quit $_exitcode
