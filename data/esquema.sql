-- Huerta database: the crop catalogue, the plots and the plan.
CREATE TABLE horticolas (
  Nombre TEXT NOT NULL,
  Latin TEXT,
  Familia TEXT,
  Parte_aprovechable TEXT,
  Profundidad_raices TEXT,
  Abonado TEXT,
  asoc_desfavorable TEXT,
  asoc_favorable TEXT,
  carencias_correccion TEXT,
  carencias_posibles TEXT,
  enfermedades_posibles TEXT,
  enfermedades_tratamiento TEXT,
  labor TEXT,
  Precedente TEXT,
  riego TEXT,
  Siembra_1_I INTEGER,
  Siembra_1_F INTEGER,
  Siembra_2_I INTEGER,
  Siembra_2_F INTEGER,
  Cosecha_1_min INTEGER,
  Cosecha_1_max INTEGER,
  Cosecha_2_min INTEGER,
  Cosecha_2_max INTEGER
);

CREATE TABLE Parcelas (
  NombreParcela TEXT NOT NULL,
  HOJAS INTEGER NOT NULL DEFAULT 4,
  Libre_Heladas_Inicio INTEGER NOT NULL DEFAULT 1,
  Libre_Heladas_Final INTEGER NOT NULL DEFAULT 1,
  RepetirFrutos INTEGER NOT NULL DEFAULT 0,
  RepetirRaices INTEGER NOT NULL DEFAULT 0,
  CicloCorto INTEGER NOT NULL DEFAULT 0,
  Alcachofa INTEGER NOT NULL DEFAULT 4,
  Fresa INTEGER NOT NULL DEFAULT 3,
  Espárrago INTEGER NOT NULL DEFAULT 6,
  ultima INTEGER NOT NULL DEFAULT 0
);

CREATE TABLE BDParcela (
  parcela TEXT NOT NULL,
  año INTEGER NOT NULL,
  hoja INTEGER NOT NULL,
  cultivo TEXT NOT NULL,
  familia TEXT,
  Prof_raiz TEXT,
  extraccion TEXT,
  mes_inicio INTEGER,
  mes_final INTEGER
);

CREATE INDEX BDParcela_parcela_año ON BDParcela (parcela, año, hoja);
