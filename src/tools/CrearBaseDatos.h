#pragma once
// Builds a new database file from the project's data folder: esquema.sql (the
// tables), horticolas.tsv (the crop catalogue) and parcelas.tsv (the plots).
// The program itself never creates its database; the build and the tests do.
#include <QString>

// Creates fichero from carpetaDatos. Refuses (false, with *error set) when
// fichero already exists: an existing database holds the user's plans.
bool CrearBaseDatos(const QString &fichero, const QString &carpetaDatos, QString *error);

// Appends the rows of a tab-separated file (first line: column names) to
// tabla; empty cells are stored as Null.
bool CargarTablaTSV(const QString &fichero, const QString &tsv, const QString &tabla, QString *error);
