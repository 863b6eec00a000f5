# Sources of src/hexfile/ in the core library.
