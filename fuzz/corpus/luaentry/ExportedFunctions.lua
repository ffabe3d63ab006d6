-- Functions the engine offers to every script of the game.

-- Quits the game at the end of the frame.
function Quit()
    sendcmd("tarq", "quit")
end

-- A setting's value, "" when it is not set.
function GetConfigValue(key)
    return sendcmd("tarq", "GetConfigValue", key)
end
