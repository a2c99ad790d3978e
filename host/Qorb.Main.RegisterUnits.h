#pragma once
// The package's registration entry: creates the main wizard and hands it to
// the IDE.
void Register();

void RegisterUnitsInitialization();
void RegisterUnitsFinalization();
