# Sources of src/port/ in the core library.
