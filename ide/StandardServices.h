#pragma once
class TIDEServices;

// The services every IDE offers, one line each.
void AddStandardServices(TIDEServices& Services);
