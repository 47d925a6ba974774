<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="es_ES" sourcelanguage="it_IT">
<context>
    <name>Halvora</name>
    <message>
        <source>Impegno</source>
        <translation>Evento</translation>
    </message>
    <message>
        <source>tutto il giorno</source>
        <translation>todo el día</translation>
    </message>
    <message>
        <source>Promemoria</source>
        <translation>Recordatorio</translation>
    </message>
    <message>
        <source>Fra 15 minuti</source>
        <translation>En 15 minutos</translation>
    </message>
    <message>
        <source>Fra un'ora</source>
        <translation>En una hora</translation>
    </message>
    <message>
        <source>Stasera alle 18</source>
        <translation>Esta tarde a las 18</translation>
    </message>
    <message>
        <source>Domani alle 9</source>
        <translation>Mañana a las 9</translation>
    </message>
    <message>
        <source>Non si ripete</source>
        <translation>No se repite</translation>
    </message>
    <message>
        <source>Ogni giorno</source>
        <translation>Cada día</translation>
    </message>
    <message>
        <source>Ogni settimana</source>
        <translation>Cada semana</translation>
    </message>
    <message>
        <source>Ogni mese</source>
        <translation>Cada mes</translation>
    </message>
    <message>
        <source>Ogni anno</source>
        <translation>Cada año</translation>
    </message>
    <message>
        <source>All'ora esatta</source>
        <translation>A la hora exacta</translation>
    </message>
    <message>
        <source>5 minuti prima</source>
        <translation>5 minutos antes</translation>
    </message>
    <message>
        <source>15 minuti prima</source>
        <translation>15 minutos antes</translation>
    </message>
    <message>
        <source>Un'ora prima</source>
        <translation>Una hora antes</translation>
    </message>
    <message>
        <source>Un giorno prima</source>
        <translation>Un día antes</translation>
    </message>
    <message>
        <source>Accesso ai Promemoria non concesso.</source>
        <translation>Acceso a los recordatorios no concedido.</translation>
    </message>
    <message>
        <source>Nessun elenco predefinito nell'app Promemoria.</source>
        <translation>No hay una lista predeterminada para los recordatorios.</translation>
    </message>
    <message>
        <source>Promemoria non salvato: %1</source>
        <translation>Recordatorio no guardado: %1</translation>
    </message>
    <message>
        <source>Il file del calendario non è leggibile.</source>
        <translation>El archivo del calendario no se puede leer.</translation>
    </message>
    <message>
        <source>FOCUS MODE</source>
        <translation>MODO ENFOQUE</translation>
    </message>
    <message>
        <source>CUSTOM TIMER</source>
        <translation>TEMPORIZADOR</translation>
    </message>
    <message>
        <source>READY</source>
        <translation>LISTO</translation>
    </message>
    <message>
        <source>PAUSED</source>
        <translation>EN PAUSA</translation>
    </message>
    <message>
        <source>FOCUS SESSION</source>
        <translation>SESIÓN DE ENFOQUE</translation>
    </message>
    <message>
        <source>BREAK TIME</source>
        <translation>DESCANSO</translation>
    </message>
    <message>
        <source>CUSTOM SESSION</source>
        <translation>SESIÓN PERSONALIZADA</translation>
    </message>
    <message>
        <source>Sessione Completata!</source>
        <translation>¡Sesión completada!</translation>
    </message>
    <message>
        <source>Ottimo lavoro. È il momento di una pausa.</source>
        <translation>Buen trabajo. Es hora de un descanso.</translation>
    </message>
    <message>
        <source>Pausa Terminata</source>
        <translation>Descanso terminado</translation>
    </message>
    <message>
        <source>Si torna al lavoro. Dai il massimo!</source>
        <translation>De vuelta al trabajo. ¡Da lo mejor de ti!</translation>
    </message>
    <message>
        <source>Timer Terminato</source>
        <translation>Temporizador terminado</translation>
    </message>
    <message>
        <source>Il timer personalizzato è terminato.</source>
        <translation>El temporizador personalizado ha terminado.</translation>
    </message>
</context>
</TS>
