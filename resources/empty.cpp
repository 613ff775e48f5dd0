// Keeps the resource library valid before it holds a picture.
