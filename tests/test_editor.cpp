// The plant-catalogue editor: sowing windows on its grid, search by name,
// adding and correcting crops, refusals, and the catalogue reaching the designer.
#include "catalogue/EditorCatalogo.h"
#include "core/CatalogoEditable.h"
#include "core/Conexion.h"
#include "fixtures/VentanaPrueba.h"

#include <QSqlTableModel>
#include <QToolButton>

using namespace modBasico;
using namespace Qt::StringLiterals;

namespace {

// An editor alone on a test database.
struct Editor
{
    BDPrueba bd;
    Respuestas r;
    EditorCatalogo e;

    bool enlazar()
    {
        IniciaColores();
        e.EnlazarDatos(bd.fichero());
        return e.Registros->enlazado() && r.peticiones.isEmpty();
    }
    QString tabla()
    {
        return bd.valor(u"select group_concat(t, ';') from (select quote(Nombre) || quote(Latin) || quote(Siembra_1_I)"
                        " || quote(Siembra_2_F) || quote(Cosecha_1_min) || quote(Cosecha_2_max) as t from horticolas"
                        " order by rowid)"_s).toString();
    }
    void cambiar(const QString &columna, const QVariant &valor)
    {
        QSqlTableModel *m = e.Registros->modelo();
        m->setData(m->index(e.Registros->actual(), m->fieldIndex(columna)), valor);
    }
};

} // namespace

class TestEditor : public QObject
{
    Q_OBJECT

private slots:
    void eliminarEnElUltimoNoBorra()
    {
        Editor t;
        QVERIFY(t.enlazar());
        const int n = t.bd.contar(u"horticolas"_s);
        t.e.datPrimaryRS->BtUltimo->click();
        const QString ultimo = t.e.Registros->nombreActual();
        t.e.cmdDelete->click();
        QCOMPARE(t.r.textos(), QStringList{ultimo});
        QCOMPARE(t.e.Registros->posicion(), n);
        QCOMPARE(t.e.txtFields[0]->text(), ultimo);
        QCOMPARE(t.bd.contar(u"horticolas"_s), n);
    }

    void agregarYActualizar()
    {
        Editor t;
        QVERIFY(t.enlazar());
        const QString primero = t.e.Registros->nombreActual();
        t.e.txtFields[1]->setText(u"Latín corregido"_s);
        t.e.cmdAdd->click();
        QVERIFY(t.e.txtFields[0]->text().isEmpty());
        t.e.txtFields[0]->setText(u"Col de Milán"_s);
        t.e.Combo1->setCurrentText(u"Crucíferas"_s);
        t.e.Combo4[0]->setCurrentText(u"03"_s);
        t.e.Combo4[1]->setCurrentText(u"06"_s);
        t.e.Combo4[3]->setCurrentText(u"10"_s);
        t.e.Combo4[2]->setCurrentText(u"12"_s);
        t.e.Text1[0]->setText(u"90"_s);
        // Moving off keeps the edits pending and on screen when back.
        t.e.datPrimaryRS->BtPrimero->click();
        QCOMPARE(t.e.txtFields[1]->text(), u"Latín corregido"_s);
        QCOMPARE(t.bd.valor(u"select count(*) from horticolas where Nombre = 'Col de Milán'"_s).toInt(), 0);
        t.e.cmdUpdate->click();
        QVERIFY2(t.r.peticiones.isEmpty(), qPrintable(t.r.textos().value(0)));
        QCOMPARE(t.bd.valor(u"select Latin from horticolas where Nombre = ?"_s, {primero}).toString(),
                 u"Latín corregido"_s);
        QCOMPARE(t.bd.valor(u"select quote(Familia) || quote(Siembra_1_I) || quote(Siembra_1_F) || quote(Siembra_2_I)"
                            " || quote(Siembra_2_F) || quote(Cosecha_1_min) || quote(Cosecha_2_max) || quote(Latin)"
                            " from horticolas where Nombre = 'Col de Milán'"_s)
                     .toString(),
                 u"'Crucíferas'36101290NULLNULL"_s);
        QVERIFY(!t.e.Registros->hayCambios());
        // Read back by a new binding: the second window's pickers the right way round.
        QVERIFY(t.enlazar());
        t.e.ComboTodasHortalizas->addItem(u"Col de Milán"_s); // chosen, and the timer's tick
        t.e.ComboTodasHortalizas->setCurrentIndex(t.e.ComboTodasHortalizas->count() - 1);
        emit t.e.ComboTodasHortalizas->activated(t.e.ComboTodasHortalizas->currentIndex());
        t.e.TimerHort_Timer();
        QCOMPARE(t.e.Combo4[3]->currentText(), u"10"_s);
        QCOMPARE(t.e.Combo4[2]->currentText(), u"12"_s);
        QString siembra; // row 1 of the grid: 'v' sowing, '.' empty
        for (int c = 1; c <= 24; ++c)
            siembra += t.e.MSHFlexBD->colorFondo(1, c) == ColorSiembra ? u'v' : u'.';
        QCOMPARE(siembra, u"..vvvv...vvv............"_s);
    }

    // A refused write (the other refusals: test_catalogo) changes nothing.
    void rechazoYRenovar()
    {
        Editor t;
        QVERIFY(t.enlazar());
        const QString antes = t.tabla();
        t.e.datPrimaryRS->BtSiguiente->click();
        t.cambiar(u"Siembra_2_F"_s, 25);
        t.e.cmdUpdate->click();
        QVERIFY2(t.r.avisos().size() == 1 && t.r.avisos()[0].contains(u"Exclamacion|SoloAceptar|En «"_s),
                 qPrintable(t.r.avisos().join(u'\n')));
        QCOMPARE(t.tabla(), antes);
        QVERIFY(t.e.Registros->hayCambios());
        // "Renovar" drops pending edits only when the user says so.
        t.r.respuestaMensaje = Dialogos::No;
        t.e.cmdRefresh->click();
        QVERIFY(t.e.Registros->hayCambios());
        t.r.respuestaMensaje = Dialogos::Si;
        t.e.cmdRefresh->click();
        QVERIFY(!t.e.Registros->hayCambios());
        QCOMPARE(t.e.datPrimaryRS->caption(), u"Registro: 1"_s);
    }

    void unaTransaccion()
    {
        Editor t;
        t.bd.ejecutar(u"create trigger veto before update on horticolas when new.Nombre = 'Vetada'"
                      " begin select raise(abort, 'nombre vetado'); end"_s);
        QVERIFY(t.enlazar());
        const QString antes = t.tabla();
        t.cambiar(u"Latin"_s, u"cambiada"_s); // the first row by name: written first
        t.e.datPrimaryRS->BtUltimo->click();
        t.cambiar(u"Nombre"_s, u"Vetada"_s);
        t.e.cmdUpdate->click();
        QVERIFY2(t.r.textos().size() == 1 && t.r.textos()[0].contains(u"«Vetada»"_s), qPrintable(t.r.textos().value(0)));
        QCOMPARE(t.tabla(), antes);
        QCOMPARE(t.e.txtFields[0]->text(), u"Vetada"_s);

        // A locked file refuses everything the same way, moves too, in Spanish.
        t.bd.ejecutar(u"drop trigger veto"_s);
        {
            Conexion otra(t.bd.fichero());
            otra.ejecutar(u"begin exclusive"_s);
            t.e.cmdUpdate->click();
            t.e.datPrimaryRS->BtAnterior->click();
            QCOMPARE(t.r.textos().size(), 3);
            for (const QString &m : t.r.textos().mid(1))
                QVERIFY2(m.startsWith(u"La base de datos está bloqueada por otro programa: no se ha"_s), qPrintable(m));
        }
        QCOMPARE(t.tabla(), antes);
        // Nothing was lost: the next try writes both.
        t.e.cmdUpdate->click();
        QCOMPARE(t.r.textos().size(), 3);
        QCOMPARE(t.bd.valor(u"select count(*) from horticolas where Nombre = 'Vetada' or Latin = 'cambiada'"_s).toInt(), 2);
    }

    void llegaAlDisenadorTrasReconstruir()
    {
        Huerto h(4);
        QVERIFY(h.abrir(2030, 1));
        EditorCatalogo &e = *control<EditorCatalogo>(*h.w, "EditorPlantas");
        e.cmdAdd->click();
        e.txtFields[0]->setText(u"Chufas"_s);
        e.Combo1->setCurrentText(u"Gramineae"_s);
        e.cmdUpdate->click();
        QVERIFY(!elementos(control<QComboBox>(*h.w, "ComboCult0")).contains(u"Chufas"_s));
        h.w->Inicia_Todo();
        h.w->LeerCultivos();
        QVERIFY(elementos(control<QComboBox>(*h.w, "ComboCult0")).contains(u"Chufas"_s));
        QVERIFY(elementos(control<QComboBox>(*h.w, "ComboTodasHortalizas")).contains(u"Chufas"_s));
        const ColeccionesCatalogo &catalogo = h.w->sesion().catalogo();
        QCOMPARE(catalogo.TodasFamilias.value(catalogo.posicion(u"Chufas"_s)), u"Gramineae"_s);
        QVERIFY(h.r.peticiones.isEmpty());
    }
};

QTEST_MAIN(TestEditor)
#include "test_editor.moc"
