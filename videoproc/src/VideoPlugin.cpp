// Plug-in registration is added here.
