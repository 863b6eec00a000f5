# Sources of src/settings/ in the core library.
