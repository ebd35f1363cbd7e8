# The main window widgets and the program entry (filled in with the main window).
