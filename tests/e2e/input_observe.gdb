# Breakpoints that note, as "seen: ..." lines, which input handlers of the game run and what they pass on;
# each lets the game go on at once. Used by input_e2e.sh.
set pagination off
set confirm off
# Containers may forbid switching address-space randomisation off; nothing here needs it.
set disable-randomization off

break platform::ShowCursor
commands
silent
printf "seen: ShowCursor %d\n", show
continue
end

break TarqApp::mouseReleased
commands
silent
printf "seen: release of button %d\n", button
continue
end

break TarqApp::HandleLeftClick
commands
silent
printf "seen: left click in the game\n"
continue
end

break cl_GameComponents::Examine
commands
silent
printf "seen: examine\n"
continue
end

break TarqApp::HandleEscape
commands
silent
printf "seen: Escape in mode %d\n", m_mode
continue
end

break TarqApp::SetMode
commands
silent
printf "seen: mode %d\n", mode
continue
end

break cl_GUISystem::KeyPressed
commands
silent
printf "seen: GUI key\n"
continue
end

break cl_GUISystem::MouseReleased
commands
silent
printf "seen: GUI release\n"
continue
end

run
quit $_exitcode
