<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="es_ES" sourcelanguage="it_IT">
<context>
    <name>Halvora</name>
    <message>
        <source>Accesso al calendario non concesso</source>
        <translation>Acceso al calendario no concedido</translation>
    </message>
    <message>
        <source>Apri Impostazioni</source>
        <translation>Abrir Ajustes</translation>
    </message>
    <message>
        <source>Crea per %1</source>
        <translation>Crear para %1</translation>
    </message>
    <message>
        <source>Detta il promemoria</source>
        <translation>Dictar el recordatorio</translation>
    </message>
    <message>
        <source>Ferma e trascrivi</source>
        <translation>Detener y transcribir</translation>
    </message>
    <message>
        <source>Impossibile avviare la dettatura.</source>
        <translation>No se pudo iniciar el dictado.</translation>
    </message>
    <message>
        <source>Microfono non autorizzato.</source>
        <translation>Micrófono no autorizado.</translation>
    </message>
    <message>
        <source>Nessun impegno oggi</source>
        <translation>Nada programado para hoy</translation>
    </message>
    <message>
        <source>Nessuna app può aprire le impostazioni dei calendari</source>
        <translation>Ninguna app puede abrir los ajustes de los calendarios</translation>
    </message>
    <message>
        <source>OGGI</source>
        <translation>HOY</translation>
    </message>
    <message>
        <source>Ora esatta, ripetizione e avviso</source>
        <translation>Hora exacta, repetición y aviso</translation>
    </message>
    <message>
        <source>Quando</source>
        <translation>Cuándo</translation>
    </message>
    <message>
        <source>Riconoscimento vocale non autorizzato.</source>
        <translation>Reconocimiento de voz no autorizado.</translation>
    </message>
    <message>
        <source>Riconoscimento vocale non disponibile.</source>
        <translation>Reconocimiento de voz no disponible.</translation>
    </message>
    <message>
        <source>Ricordamelo fra poco</source>
        <translation>Recuérdamelo en un rato</translation>
    </message>
    <message>
        <source>Ricordami di…</source>
        <translation>Recuérdame…</translation>
    </message>
    <message>
        <source>Segna come completato</source>
        <translation>Marcar como completado</translation>
    </message>
    <message>
        <source>il %1 alle %2</source>
        <translation>el %1 a las %2</translation>
    </message>
    <message>
        <source>in corso</source>
        <translation>en curso</translation>
    </message>
    <message>
        <source>le %1</source>
        <translation>las %1</translation>
    </message>
    <message>
        <source>· %1</source>
        <translation>· %1</translation>
    </message>
    <message>
        <source>scaduto · %1</source>
        <translation>vencido · %1</translation>
    </message>
    <message>
        <source>Non completato: %1</source>
        <translation>No completado: %1</translation>
    </message>
    <message>
        <source>Non rimandato: %1</source>
        <translation>No pospuesto: %1</translation>
    </message>
</context>
</TS>
