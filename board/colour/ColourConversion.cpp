// Filled in by the virtual board.
