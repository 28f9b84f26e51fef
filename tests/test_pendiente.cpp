// Crops placed and not stored are never dropped without asking: every gesture
// that leaves or reloads the open sheet asks first, with the mouse and with
// the keys. «Sí» stores them as «Validar Hoja» does and goes on, «No» goes on
// without them, «Cancelar» or a store that fails leaves the window as it was.
// Nor does a wheel notch over a picker the user is not using take them away.
#include "fixtures/VentanaPrueba.h"

#include "core/Conexion.h"
#include "core/Parcelas.h"

#include <QDate>
#include <QScrollBar>
#include <QSlider>
#include <qpa/qwindowsysteminterface.h>

#include <optional>

using namespace Qt::StringLiterals;

namespace {

constexpr int Nada = 0;         // nothing placed: nothing to ask
constexpr int SiRechazado = -2; // «Sí» while another program holds the file

const QString kGuardada = u"2010|2|Habas|3|10"_s;
const QString kOtroAño = u"2011|3|Lechugas|4|6"_s;
const QString kColocada = u"2010|2|Tomates|8|12"_s;

// Everything a gesture given up must leave as it was.
QStringList foto(Huerto &h)
{
    const FormPrincipal &w = *h.w;
    const SesionHoja &s = w.sesion();
    QStringList f{s.parcela(), QString::number(s.año()), QString::number(s.hoja())};
    for (int k = 0; k < 4; ++k) {
        const QComboBox *c = control<QComboBox>(w, u"ComboCult%1"_s.arg(k));
        const SesionHoja::Ranura &r = s.ranura(k);
        f << elementos(c).join(u',') + u'>' + c->currentText() << h.fila(k + 1)
          << u"%1-%2 %3%4"_s.arg(r.inicio).arg(r.final).arg(r.colocado).arg(r.sinGuardar);
    }
    const MapaControl *mapa = control<MapaControl>(w, "Map1");
    for (int i = 0; mapa->GetObject(0) && i < mapa->GetObject(0)->NumShapes(); ++i)
        f << u"forma %1: %2 %3"_s.arg(i).arg(mapa->ShapeFillColor(0, i)).arg(mapa->ShapeLineColor(0, i));
    const QGroupBox *marco = control<QGroupBox>(w, "FrameCultivo");
    f << marco->title() + (marco->isVisible() ? u" visible"_s : u" oculto"_s);
    QCoreApplication::processEvents(); // what the window puts back once the press is over
    const QTreeWidget *arbol = control<QTreeWidget>(w, "arbolaños");
    f << (arbol->currentItem() ? arbol->currentItem()->text(0) : QString());
    for (const QTreeWidgetItem *i : arbol->selectedItems())
        f << u"elegido: "_s + i->text(0);
    for (const QListWidgetItem *i : control<QListWidget>(w, "ListaParcelas")->selectedItems())
        f << u"elegida: "_s + i->text();
    for (int a = 2009; a <= 2020; ++a)
        f << h.nodoAño(a)->background(0).color().name();
    f << control<QListWidget>(w, "ListaParcelas")->currentItem()->text()
      << QString::number(control(w, "PictureOpcionesParcelas")->isVisible())
      << QString::number(control<QCheckBox>(w, "CheckRepetirRaices")->isChecked());
    return f + h.bd.parcelas() + h.filas();
}

QPoint centro(const QListWidget *l, int fila)
{
    return l->visualItemRect(l->item(fila)).center();
}

// One notch of the mouse wheel, away from the user, over the middle of c, as
// the window system delivers it (to whatever lies on top there).
void muesca(QWidget *c)
{
    QWidget *ventana = c->window();
    const QPoint punto = c->mapTo(ventana, c->rect().center());
    QWindowSystemInterface::handleWheelEvent(ventana->windowHandle(), punto, ventana->mapToGlobal(punto), {},
                                             {0, -120});
    QWindowSystemInterface::flushWindowSystemEvents();
}

QString valor(const QWidget *c)
{
    if (const auto *p = qobject_cast<const QComboBox *>(c))
        return p->currentText();
    if (const auto *v = qobject_cast<const QAbstractScrollArea *>(c))
        return QString::number(v->verticalScrollBar()->value());
    return QString::number(qobject_cast<const QSlider *>(c)->value());
}

} // namespace

class TestPendiente : public QObject
{
    Q_OBJECT

private slots:
    void soltarHoja_data()
    {
        QTest::addColumn<QString>("gesto");
        QTest::addColumn<int>("respuesta");
        const char *gestos[] = {"mapa, otra hoja",  "mapa, la misma hoja con Intro", "mapa, fuera de las hojas",
                                "árbol, fila",      "árbol, año con Intro",          "lista, otra parcela",
                                "lista, flecha",    "lista, la misma parcela en otro año",
                                "crear parcela con Intro",                           "borrar parcela",
                                "guardar opciones"};
        const std::pair<const char *, int> respuestas[] = {{"nada pendiente", Nada},
                                                           {"Sí", Dialogos::Si},
                                                           {"No", Dialogos::No},
                                                           {"Cancelar", Dialogos::Cancelar},
                                                           {"Sí rechazado", SiRechazado}};
        for (const char *g : gestos)
            for (const auto &[nombre, r] : respuestas)
                QTest::addRow("%s, %s", g, nombre) << QString::fromUtf8(g) << r;
    }

    void soltarHoja()
    {
        QFETCH(QString, gesto);
        QFETCH(int, respuesta);
        Huerto h;
        h.bd.agregarParcela(u"Otra"_s, 3, 1, 1);
        h.sembrar({kGuardada, kOtroAño});
        QVERIFY(h.abrir(2010, 2));
        FormPrincipal &w = *h.w;
        QTreeWidget *arbol = control<QTreeWidget>(w, "arbolaños");
        QListWidget *lista = control<QListWidget>(w, "ListaParcelas");
        MapaControl *mapa = control<MapaControl>(w, "Map1");
        QLineEdit *nueva = control<QLineEdit>(w, "TextCrearNuevaParcela");

        // What comes before the gesture proper: the options panel edited, the
        // keyboard's focus on the control that takes the key.
        if (gesto.startsWith(u"guardar"_s)) {
            QTest::mouseClick(control<QCheckBox>(w, "CheckParcelasOpciones"), Qt::LeftButton);
            QTest::mouseClick(control<QCheckBox>(w, "CheckRepetirRaices"), Qt::LeftButton);
        } else if (gesto.startsWith(u"crear"_s)) {
            QTest::mouseClick(control<QCheckBox>(w, "CheckCrearParcela"), Qt::LeftButton);
            nueva->setText(u"Nueva"_s);
        }
        if (respuesta != Nada)
            QVERIFY(h.plantar(0, u"Tomates"_s, 8));
        if (gesto == u"mapa, la misma hoja con Intro"_s) {
            mapa->setFocus(Qt::TabFocusReason);
            const int hoja2 = indiceDeHoja(mapa->GetObject(0), 2);
            for (int i = 0; i < 8 && mapa->FormaEnfocada() != hoja2; ++i)
                QTest::keyClick(mapa, Qt::Key_Right);
            QCOMPARE(mapa->FormaEnfocada(), hoja2);
        } else if (gesto == u"árbol, año con Intro"_s) {
            arbol->setFocus(Qt::TabFocusReason);
            arbol->setCurrentItem(h.nodoAño(2012)); // reached by the arrows: no click yet
        } else if (gesto == u"lista, flecha"_s) {
            lista->setFocus(Qt::TabFocusReason);
        } else if (gesto.startsWith(u"crear"_s)) {
            nueva->setFocus(Qt::TabFocusReason);
        }
        const QStringList antes = foto(h);

        h.r.limpiar();
        // The question first (when there is one), then the deletion's own.
        h.r.siguientes = {respuesta == SiRechazado ? int(Dialogos::Si) : respuesta, Dialogos::Si};
        if (respuesta == Nada)
            h.r.siguientes.removeFirst();
        std::optional<Conexion> otra;
        if (respuesta == SiRechazado) {
            otra.emplace(h.bd.fichero());
            otra->ejecutar(u"BEGIN EXCLUSIVE"_s);
        }
        if (gesto == u"mapa, otra hoja"_s)
            QVERIFY(h.pulsarHoja(3));
        else if (gesto == u"mapa, la misma hoja con Intro"_s)
            QTest::keyClick(mapa, Qt::Key_Return);
        else if (gesto == u"mapa, fuera de las hojas"_s)
            QTest::mouseClick(mapa, Qt::LeftButton, {}, QPoint(1, 1));
        else if (gesto == u"árbol, fila"_s)
            (void)h.pulsar(h.nodoAño(2011)->child(0)); // a click given up puts the current item back
        else if (gesto == u"árbol, año con Intro"_s)
            QTest::keyClick(arbol, Qt::Key_Return);
        else if (gesto == u"lista, otra parcela"_s)
            QTest::mouseClick(lista->viewport(), Qt::LeftButton, {}, centro(lista, 1));
        else if (gesto == u"lista, flecha"_s)
            QTest::keyClick(lista, Qt::Key_Down);
        else if (gesto == u"lista, la misma parcela en otro año"_s)
            QTest::mouseClick(lista->viewport(), Qt::LeftButton, {}, centro(lista, 0));
        else if (gesto.startsWith(u"crear"_s))
            QTest::keyClick(nueva, Qt::Key_Return);
        else if (gesto.startsWith(u"borrar"_s))
            QTest::mouseClick(control<QPushButton>(w, "BtBorrarParcela"), Qt::LeftButton);
        else
            QTest::mouseClick(control<QPushButton>(w, "BtGuardar"), Qt::LeftButton);
        if (otra)
            otra->ejecutar(u"ROLLBACK"_s);

        const SesionHoja &s = w.sesion();
        const QString raices = u"select RepetirRaices from Parcelas where NombreParcela = 'Huerto'"_s;
        const QMap<QString, bool> hecho = {
            {u"mapa, otra hoja"_s, s.hoja() == 3},
            {u"mapa, la misma hoja con Intro"_s, s.hoja() == 2 && s.ranura(0).colocado && !s.ranura(0).sinGuardar},
            {u"mapa, fuera de las hojas"_s, !control<QGroupBox>(w, "FrameCultivo")->isVisible()},
            {u"árbol, fila"_s, s.año() == 2011 && s.hoja() == 3},
            {u"árbol, año con Intro"_s, s.año() == 2012},
            {u"lista, otra parcela"_s, s.parcela() == u"Otra"_s},
            {u"lista, flecha"_s, s.parcela() == u"Otra"_s},
            {u"lista, la misma parcela en otro año"_s,
             s.parcela() == u"Huerto"_s && s.año() == QDate::currentDate().year()},
            {u"crear parcela con Intro"_s, s.parcela() == u"Nueva"_s},
            {u"borrar parcela"_s, s.parcela() == u"Otra"_s && !h.bd.parcelas().join(u' ').contains(u"Huerto"_s)},
            {u"guardar opciones"_s, h.bd.valor(raices).toInt() == 1},
        };
        const bool pendiente = respuesta != Nada;
        const bool sigue = respuesta == Nada || respuesta == Dialogos::Si || respuesta == Dialogos::No;
        QVERIFY(hecho.contains(gesto));
        QCOMPARE(hecho.value(gesto), sigue);
        if (!sigue)
            QCOMPARE(foto(h), antes);
        QCOMPARE(s.haySinGuardar(), !sigue);

        // Asked once and first, naming the sheet, the year and the crop; then
        // the deletion's question, or what kept the crop from being stored.
        const QStringList textos = h.r.textos();
        QCOMPARE(textos.size(), int(pendiente) + int(gesto.startsWith(u"borrar"_s) && sigue)
                                    + int(respuesta == SiRechazado));
        if (pendiente)
            QVERIFY2(textos.first().contains(u"hoja 2 de 2010 sin guardar con «Validar Hoja»: Tomates"_s),
                     qPrintable(textos.first()));
        if (pendiente)
            QCOMPARE(h.r.mensajes().first().porDefecto, int(Dialogos::Si)); // Enter stores, never drops
        if (respuesta == SiRechazado)
            QVERIFY2(textos.last().startsWith(u"La base de datos está bloqueada"_s), qPrintable(textos.last()));
        // Stored by «Sí» alone (and gone with the plot deleted).
        const QString primera = respuesta == Dialogos::Si ? kColocada : kGuardada;
        const bool borrada = gesto.startsWith(u"borrar"_s) && sigue;
        QCOMPARE(h.filas(), borrada ? QStringList() : QStringList({primera, kOtroAño}));
    }

    // Another copy of the program on the same file deletes a plot, or gives the
    // open plot fewer sheets, and then the plot is clicked in the list here.
    void otraCopia_data()
    {
        QTest::addColumn<QString>("caso");
        QTest::addColumn<int>("respuesta");
        const std::pair<const char *, int> respuestas[] = {
            {"nada pendiente", Nada}, {"Sí", Dialogos::Si}, {"No", Dialogos::No}, {"Cancelar", Dialogos::Cancelar}};
        for (const char *caso : {"otra parcela borrada", "la parcela abierta borrada", "menos hojas que la abierta"})
            for (const auto &[nombre, r] : respuestas)
                QTest::addRow("%s, %s", caso, nombre) << QString::fromUtf8(caso) << r;
    }

    void otraCopia()
    {
        QFETCH(QString, caso);
        QFETCH(int, respuesta);
        const int hoy = QDate::currentDate().year();
        const bool menos = caso.startsWith(u"menos"_s);
        const bool abierta = caso.startsWith(u"la parcela abierta"_s);
        Huerto h;
        h.bd.agregarParcela(u"Otra"_s, 3, 1, 1);
        h.sembrar({kGuardada});
        // The open sheet: the last of the plot's four when it is to lose it.
        QVERIFY(menos ? h.abrir(hoy, 4) : h.abrir(2010, 2));
        const int hoja = menos ? 4 : 2;
        if (respuesta != Nada)
            QVERIFY(h.plantar(0, u"Tomates"_s, 8));
        FormPrincipal &w = *h.w;
        QListWidget *lista = control<QListWidget>(w, "ListaParcelas");
        {
            // As the other copy's «Guardar» and «Borrar» write it.
            Conexion otra(h.bd.fichero());
            if (menos) {
                OpcionesParcela o = LeerOpcionesParcela(otra, u"Huerto"_s).value();
                o.hojas = 3;
                GuardarOpcionesParcela(otra, u"Huerto"_s, o);
            } else {
                BorrarParcela(otra, abierta ? u"Huerto"_s : u"Otra"_s);
            }
        }
        const QStringList antes = foto(h);
        h.r.limpiar();
        // The notice that the plot is gone first, then the question.
        h.r.siguientes = {int(Dialogos::Aceptar), respuesta};
        if (menos)
            h.r.siguientes.removeFirst();
        QTest::mouseClick(lista->viewport(), Qt::LeftButton, {}, centro(lista, abierta || menos ? 0 : 1));
        QCoreApplication::processEvents(); // what waits for the press to end

        const SesionHoja &s = w.sesion();
        const bool pendiente = respuesta != Nada;
        // The question comes only when the open sheet is to be left, and «Sí»
        // cannot store on a plot or a sheet that is gone.
        const bool pregunta = pendiente && caso != u"otra parcela borrada"_s;
        const bool sigue = !pregunta || respuesta == Dialogos::No;
        QStringList esperados;
        if (!menos)
            esperados << u"La parcela <%1> ya no existe en la base de datos"_s.arg(abierta ? u"Huerto" : u"Otra");
        if (pregunta)
            esperados << u"Hay trabajo sin guardar:\n- cultivos colocados en la hoja %1"_s.arg(hoja);
        if (pregunta && respuesta == Dialogos::Si)
            esperados << (menos ? u"La parcela <Huerto> no tiene hoja 4 (tiene 3): no se ha guardado nada."_s
                                : u"La parcela <Huerto> ya no existe en la base de datos: no se ha guardado nada."_s);
        if (menos && sigue)
            esperados << u"La hoja 4 ya no existe: la parcela <Huerto> tiene ahora 3 hojas"_s;
        const QStringList textos = h.r.textos();
        QVERIFY2(textos.size() == esperados.size(), qPrintable(textos.join(u"\n--\n"_s)));
        for (int i = 0; i < textos.size(); ++i)
            QVERIFY2(textos.at(i).startsWith(esperados.at(i)), qPrintable(textos.at(i)));

        if (!sigue || caso == u"otra parcela borrada"_s) {
            // Nothing left: the open sheet and its crops stay as they were.
            QCOMPARE(foto(h), antes);
            QCOMPARE(s.haySinGuardar(), pendiente);
        } else if (abierta) {
            // The plot gone: the one left opens, marked as the last used.
            QCOMPARE(s.parcela(), u"Otra"_s);
            QCOMPARE(h.bd.valor(u"select NombreParcela from Parcelas where ultima"_s).toString(), u"Otra"_s);
            QCOMPARE(control<QPushButton>(w, "BtBorrarParcela")->text(), u"Borrar Otra"_s);
        } else {
            // The sheet gone: no sheet open, the map has the three left.
            QCOMPARE(s.hoja(), 0);
            QVERIFY(!s.haySinGuardar());
            QCOMPARE(control<MapaControl>(w, "Map1")->GetObject(0)->NumShapes(), 3);
        }
        if (!menos && sigue)
            QCOMPARE(lineas(lista), QStringList({abierta ? u"Otra"_s : u"Huerto"_s}));
        QCOMPARE(lista->currentItem()->text(), s.parcela());
        QCOMPARE(lista->selectedItems().size(), 1);
        // Nothing stored for a sheet or a plot that is gone.
        QCOMPARE(h.filas(), abierta ? QStringList() : QStringList({kGuardada}));
    }

    // A wheel notch over a picker or slider changes it only when it has the
    // keyboard's focus; a view scrolls under it either way.
    void rueda_data()
    {
        QTest::addColumn<QString>("nombre");
        QTest::addColumn<bool>("foco");
        QTest::addColumn<bool>("cambia");
        for (const char *c : {"ComboCult0", "ComboMLH0", "ComboNHojas", "SliderFresa", "ComboImpresoras0"})
            for (bool foco : {false, true})
                QTest::addRow("%s, %s", c, foco ? "con foco" : "sin foco") << QString::fromUtf8(c) << foco << foco;
        QTest::addRow("arbolaños, sin foco") << u"arbolaños"_s << false << true;
    }

    void rueda()
    {
        QFETCH(QString, nombre);
        QFETCH(bool, foco);
        QFETCH(bool, cambia);
        Huerto h(4, 7, 19);
        QVERIFY(h.abrir(QDate::currentDate().year(), 2));
        FormPrincipal &w = *h.w;
        // The picker chosen with the mouse keeps the focus until the click on
        // the grid that places its crop takes it, without the keyboard's mark.
        control(w, "ComboCult0")->setFocus(Qt::MouseFocusReason);
        QVERIFY(h.plantar(0, u"Tomates"_s, 8));
        const CuadriculaFlex *rejilla = control<CuadriculaFlex>(w, "MSHFlexTodoAño");
        QVERIFY(rejilla->hasFocus() && !rejilla->conMarca());
        QComboBox *impresoras = control<QComboBox>(w, "ComboImpresoras0");
        impresoras->addItems({u"Primera"_s, u"Segunda"_s});
        impresoras->setCurrentIndex(0);
        QWidget *c = control(w, nombre);
        if (control(w, "PictureOpcionesParcelas")->isAncestorOf(c))
            QTest::mouseClick(control<QCheckBox>(w, "CheckParcelasOpciones"), Qt::LeftButton);
        QVERIFY(c->isEnabled());
        const QWidget *encima = w.childAt(c->mapTo(&w, c->rect().center()));
        QVERIFY2(encima == c || c->isAncestorOf(encima), "something lies over the control");
        if (foco)
            c->setFocus(Qt::TabFocusReason);
        QCOMPARE(c->hasFocus(), foco);
        const QString antes = valor(c);
        const QString fila = h.fila(1);
        const QString opciones = h.bd.parcelas().join(u' ');

        muesca(c);
        muesca(c); // the first notch gave no focus

        QCOMPARE(valor(c) != antes, cambia);
        // The crop placed goes with a deliberate choice only.
        const bool colocado = !(foco && nombre == u"ComboCult0"_s);
        QCOMPARE(w.sesion().ranura(0).colocado, colocado);
        QCOMPARE(h.fila(1) == fila, colocado);
        QCOMPARE(h.bd.parcelas().join(u' '), opciones);
        QVERIFY(h.r.textos().isEmpty());
    }
};

QTEST_MAIN(TestPendiente)
#include "test_pendiente.moc"
