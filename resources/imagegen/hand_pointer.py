"""The hand pointer of the clickable controls: a hand with the index finger
raised, its fingertip at the hot spot."""

SIZE = 32
HOT_SPOT = (5, 0)

# '#' black outline, 'o' white, a blank shows the screen through.
_ROWS = (
    "     ##          ",
    "    #oo#         ",
    "    #oo#         ",
    "    #oo#         ",
    "    #oo#         ",
    "    #oo###       ",
    "    #oo#oo###    ",
    "    #oo#oo#oo#   ",
    "    #oo#oo#oo### ",
    "    #oo#oo#oo#oo#",
    " ## #oo#oo#oo#oo#",
    "#oo##oo#oo#oo#oo#",
    "#ooo#ooooooooooo#",
    "#ooooooooooooooo#",
    " #oooooooooooooo#",
    " #oooooooooooooo#",
    "  #ooooooooooooo#",
    "  #oooooooooooo# ",
    "   #ooooooooooo# ",
    "    #oooooooooo# ",
    "    #oooooooooo# ",
    "    ############ ",
)


def hand_pixels():
    """Two SIZE x SIZE grids, top row first: where the pointer is white, and
    where it shows the screen through (elsewhere it is black)."""
    lines = [line.ljust(SIZE) for line in _ROWS]
    lines += [" " * SIZE] * (SIZE - len(lines))
    white = [[mark == "o" for mark in line] for line in lines]
    screen = [[mark not in "#o" for mark in line] for line in lines]
    return white, screen
