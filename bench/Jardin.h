#pragma once
// The gardens the bench measures, laid out as the program's folder (a
// BDHuerta.db built from the project's data, and the sheet layouts):
// 20 plots of 7 sheets, 4 crops a sheet, over 23 years per unit of scale,
// with a catalogue of `cultivos` crops (the shipped ones and numbered copies).
#include <QString>

struct Jardin
{
    static constexpr int Parcelas = 20;
    static constexpr int Hojas = 7;
    static constexpr int CultivosPorHoja = 4;
    static constexpr int AñosPorEscala = 23;
    static constexpr int PrimerAño = 2009;

    // The plot the window opens (marked as the last one used).
    static QString ParcelaActual();
    static QString NombreParcela(int i); // "Parcela 01" ...
};

// Writes the garden into carpeta (which must not hold a database yet). escala
// 0 leaves the plan empty (a catalogue only). False with *error on failure.
bool CrearJardin(const QString &carpeta, int escala, int cultivos, QString *error);
