// Keeps the library non-empty until the seeder lands.
