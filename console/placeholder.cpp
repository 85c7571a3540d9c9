// Removed once the first console source lands.
