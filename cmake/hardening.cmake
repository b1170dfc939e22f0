# Compiler and linker hardening for optimised builds of the game.
