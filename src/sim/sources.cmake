# Sources of src/sim/ in the core library.
