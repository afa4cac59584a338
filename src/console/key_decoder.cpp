// In progress: the key decoder.
