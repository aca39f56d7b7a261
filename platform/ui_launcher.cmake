# The launcher's window.
