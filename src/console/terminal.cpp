// In progress: the terminal console.
