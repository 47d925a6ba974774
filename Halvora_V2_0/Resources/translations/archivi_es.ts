<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="es_ES" sourcelanguage="it_IT">
<context>
    <name>Halvora</name>
    <message>
        <source>Spazio su disco esaurito.</source>
        <translation>El disco está lleno.</translation>
    </message>
    <message>
        <source>Il disco è in sola lettura.</source>
        <translation>El disco es de solo lectura.</translation>
    </message>
    <message>
        <source>Permesso negato.</source>
        <translation>Permiso denegado.</translation>
    </message>
    <message>
        <source>Errore del disco.</source>
        <translation>Error del disco.</translation>
    </message>
    <message>
        <source>Trascrizione non salvata: %1</source>
        <translation>Transcripción no guardada: %1</translation>
    </message>
    <message>
        <source>Memo non rinominato: %1</source>
        <translation>Nota no renombrada: %1</translation>
    </message>
    <message>
        <source>Impostazione non salvata</source>
        <translation>Ajuste no guardado</translation>
    </message>
    <message>
        <source>Impostazioni illeggibili</source>
        <translation>Ajustes ilegibles</translation>
    </message>
    <message>
        <source>File non aggiunto</source>
        <translation>Archivo no añadido</translation>
    </message>
    <message>
        <source>%1 file non aggiunti</source>
        <translation>%1 archivos no añadidos</translation>
    </message>
</context>
</TS>
