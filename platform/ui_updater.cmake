# The updater's window.
