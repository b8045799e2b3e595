// Framework start-up work is added here.
