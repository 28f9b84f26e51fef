// Start-up (and its failures), the rebuild for the current plot and the
// accessible names.
#include "fixtures/VentanaPrueba.h"

#include <QSlider>
#include <QDate>
#include <QFileInfo>

using namespace modBasico;
using namespace Qt::StringLiterals;

class TestInicio : public QObject
{
    Q_OBJECT

private slots:
    void ordenDeArranque()
    {
        Huerto h(0);
        h.bd.agregarParcela(u"Huerto"_s, 4, 5, 19);
        h.bd.agregarParcela(u"Norte"_s, 6, 6, 21, true);
        h.bd.agregarParcela(u"Sur"_s, 3, 1, 1);
        QVERIFY(h.arrancar());
        FormPrincipal &w = *h.w;
        // The splash came first, and nothing else asked the user anything.
        QCOMPARE(h.r.peticiones.size(), 1);
        QCOMPARE(h.r.peticiones.first().tipo, Dialogos::Peticion::Modal);
        QCOMPARE(h.r.peticiones.first().clase, u"FormPortada"_s);

        QCOMPARE(w.ListaParcelas->item(2)->text(), u"Sur"_s);
        QCOMPARE(w.ListaParcelas->currentRow(), 1);
        QCOMPARE(w.ParcelaActual, u"Norte"_s);
        QCOMPARE(w.AñoActual, QDate::currentDate().year());
    }

    void tablaDeParcelasVacia()
    {
        Huerto h(0);
        QVERIFY(h.arrancar());
        QCOMPARE(h.w->ListaParcelas->count(), 0);
        QCOMPARE(h.r.mensajes().size(), 0);
    }

    void sinBaseDeDatos()
    {
        QTemporaryDir dir;
        Respuestas r;
        VentanaPrueba v(dir.path());
        QVERIFY(!v.arrancada);
        QCOMPARE(r.mensajes().size(), 1);
        QCOMPARE(r.mensajes().first().icono, Dialogos::Critico);
        // The file and the reason in words, then the engine's own text.
        const QString inicio = u"No se puede usar la base de datos "_s + dir.filePath(u"BDHuerta.db"_s)
                               + u": el fichero no existe.\n\n"_s;
        const QString texto = r.textos().first();
        QVERIFY2(texto.startsWith(inicio) && texto.size() > inicio.size(), qPrintable(texto));
        QVERIFY(!QFileInfo::exists(dir.filePath(u"BDHuerta.db"_s)));
    }

    void reconstruirNoDuplica()
    {
        Huerto h(Huerto::Enviadas);
        QVERIFY(h.arrancar());
        FormPrincipal &w = *h.w;
        const int n = w.ComboTodasHortalizas->count();
        QCOMPARE(n, h.bd.contar(u"horticolas"_s));
        w.AñoActual = 2011;
        for (int i = 0; i < 3; ++i)
            w.Inicia_Todo();
        QCOMPARE(w.ComboTodasHortalizas->count(), n);
        QCOMPARE(w.ComboMLH[0]->count(), 24);
        QCOMPARE(w.AñoActual, QDate::currentDate().year());
    }

    void nombresAccesibles()
    {
        Huerto h(Huerto::Enviadas);
        QVERIFY(h.arrancar());
        FormPrincipal &w = *h.w;
        // Every widget of the window carries a name.
        for (QWidget *c : w.findChildren<QWidget *>()) {
            if (!c->inherits("QAbstractButton") && !c->inherits("QComboBox") && !c->inherits("QAbstractItemView")
                && !c->inherits("QGroupBox") && !c->inherits("QSlider") && !c->inherits("QLineEdit"))
                continue;
            if (c->parent()
                && (c->parent()->inherits("QComboBox") || c->parent()->inherits("QTabBar")
                    || c->parent()->inherits("QCalendarWidget") || c->parentWidget()->inherits("QAbstractScrollArea")))
                continue;
            if (!c->objectName().startsWith(QLatin1String("qt_")))
                QVERIFY2(!c->accessibleName().isEmpty(), c->metaObject()->className());
        }
    }
};

QTEST_MAIN(TestInicio)
#include "test_inicio.moc"
