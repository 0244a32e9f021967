#pragma once

// Makes stdout and stderr reach the terminal the program was started from. Called
// once at the start of main, before anything is printed. A no-op where a program
// always has its terminal's streams.
void prepareConsoleOutput();
