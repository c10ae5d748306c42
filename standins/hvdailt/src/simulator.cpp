// Pending.
