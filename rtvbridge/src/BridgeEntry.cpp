// The AVFILE_ exports are added here.
