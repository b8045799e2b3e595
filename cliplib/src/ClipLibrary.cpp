// Clip library sources are added here.
