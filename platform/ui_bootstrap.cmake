# The bootstrap's window.
