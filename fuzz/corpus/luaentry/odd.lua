-- Errors, loops on sendcmd and odd values, as a broken data file holds them.
_globals = {difficulty = "hard", t = {}, [1.5] = 2, f = print}
_globals.t.t = _globals.t
for i = 1, 100 do sendcmd("valuemanager", "SetValue", "x", i) end
for i = 1, 100 do sendcmd("root", "anything", {a = {b = {c = i}}}) end
execute("return 1 +")
local deep = {}
for i = 1, 300 do deep = {deep} end
_globals.deep = deep
while true do sendcmd("gametime", "SETTIMEFLOW", "default", 0/0) end
return 1/0, -1/0, 0/0, 2^40, "x", nil, true, deep, print, coroutine.create(print)
