// Filled in as the library grows.
