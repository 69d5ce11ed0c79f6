// Filled in as the window grows.
