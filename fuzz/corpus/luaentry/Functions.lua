-- The demo game's own functions, run once at start-up.
_globals = _globals or {}
_globals.difficulty = _globals.difficulty or 1
